#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// What an event of the log is about, written as a short word after the time.
enum class LogCategory { Start, Feed, Control, Caption, Warning, SignOn, Settings, Stop, Web };

QString LogCategoryName(LogCategory category);

// One line of the log: local time to the millisecond, the category padded to one width, the text with
// its control characters written as escapes (so a caption's line ends cannot forge lines), and "\n".
// A text longer than MaxLogTextLength (a peer's names can be any length) is cut there, with "...".
// A named display's lines carry its name in brackets before the text ("[left] "), so the lines of
// several displays in one journal or file tell apart.
inline constexpr qsizetype MaxLogTextLength = 1000;
QByteArray FormatLogLine(const QDateTime& time, LogCategory category, QStringView text, QStringView tag = {});

// The display's event log: one line per event on standard error (which the journal takes under the
// service manager) and, when a file is named, appended to that file too.
//
// Writing never holds up the GUI thread. write() only formats the line and hands it to a writer
// thread through a bounded queue; when the writer falls behind (a slow disk, a stalled journal) and
// the queue is full, lines are dropped and counted, and the writer says how many once it catches up.
// A file that cannot be opened or written (a full disk, a folder without rights) is reported once on
// standard error and given up; the lines go on to standard error. This queue is the one place outside
// the animation clock where the GUI thread shares state with another thread.
class EventLog {
public:
    static constexpr qsizetype MaxWaitingLines = 4096;

    // errorDescriptor is standard error, or what a test reads instead; filePath may be empty.
    explicit EventLog(int errorDescriptor, QString filePath = {}, qsizetype maxWaitingLines = MaxWaitingLines);
    // Writes what waits, then stops the writer.
    ~EventLog();
    EventLog(const EventLog&) = delete;
    EventLog& operator=(const EventLog&) = delete;

    void write(LogCategory category, QStringView text);
    // The display's name for every line from now on; empty for none.
    void setTag(const QString& tag) { m_tag = tag; }

    // The last lines written, oldest first, without their line ends (the web monitor shows them).
    static constexpr qsizetype RecentLines = 20;
    QStringList recentLines() const;

    const QString& filePath() const { return m_filePath; }

private:
    void run();
    void openFile();
    void writeLine(const QByteArray& line);
    void giveUpFile(const char* what, int error);

    const int m_errorDescriptor;
    const QString m_filePath;
    const qsizetype m_maxWaitingLines;
    QString m_tag; // the GUI thread's: lines are formatted there

    // --- The GUI thread's own.
    std::deque<QByteArray> m_recent;

    // --- Shared by the GUI thread and the writer, under m_mutex.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<QByteArray> m_waiting;
    qint64 m_dropped = 0;
    bool m_stopping = false;

    // --- The writer thread's own.
    int m_fileDescriptor = -1;

    std::thread m_writer; // last: starts once everything it reads is there
};
