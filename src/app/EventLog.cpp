#include "EventLog.h"

#include <QFile>
#include <QtGlobal>
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct CategoryName {
    LogCategory category;
    QStringView name;
};

constexpr std::array<CategoryName, 9> CategoryNames = {{
    {LogCategory::Start, u"start"},
    {LogCategory::Feed, u"feed"},
    {LogCategory::Control, u"control"},
    {LogCategory::Caption, u"caption"},
    {LogCategory::Warning, u"warning"},
    {LogCategory::SignOn, u"sign-on"},
    {LogCategory::Settings, u"settings"},
    {LogCategory::Stop, u"stop"},
    {LogCategory::Web, u"web"},
}};

constexpr qsizetype CategoryWidth = 8;

void appendEscaped(QString& line, QStringView text) {
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit >= 0x20 && unit != 0x7F && unit != 0x2028 && unit != 0x2029) {
            line.append(c);
            continue;
        }
        switch (unit) {
        case u'\n':
            line.append(u"\\n");
            break;
        case u'\r':
            line.append(u"\\r");
            break;
        case u'\t':
            line.append(u"\\t");
            break;
        default:
            line.append(u"\\u%1"_s.arg(int(unit), 4, 16, QChar(u'0')));
        }
    }
}

// The whole line, or false with errno set.
bool writeAll(int descriptor, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(descriptor, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += written;
    }
    return true;
}

} // namespace

QString LogCategoryName(LogCategory category) {
    for (const CategoryName& entry : CategoryNames) {
        if (entry.category == category)
            return entry.name.toString();
    }
    return {};
}

QByteArray FormatLogLine(const QDateTime& time, LogCategory category, QStringView text, QStringView tag) {
    QString line = time.toString(u"yyyy-MM-dd HH:mm:ss.zzz"_s);
    line.append(u' ');
    line.append(LogCategoryName(category).leftJustified(CategoryWidth));
    line.append(u' ');
    if (!tag.isEmpty()) {
        line.append(u'[');
        line.append(tag);
        line.append(u"] ");
    }
    appendEscaped(line, text.first(std::min(text.size(), MaxLogTextLength)));
    if (text.size() > MaxLogTextLength)
        line.append(u"...");
    line.append(u'\n');
    return line.toUtf8();
}

EventLog::EventLog(int errorDescriptor, QString filePath, qsizetype maxWaitingLines)
    : m_errorDescriptor(errorDescriptor), m_filePath(std::move(filePath)), m_maxWaitingLines(maxWaitingLines),
      m_writer([this] { run(); }) {}

EventLog::~EventLog() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_writer.join();
    if (m_fileDescriptor >= 0)
        ::close(m_fileDescriptor);
}

void EventLog::write(LogCategory category, QStringView text) {
    QByteArray line = FormatLogLine(QDateTime::currentDateTime(), category, text, m_tag);
    m_recent.push_back(line);
    if (qsizetype(m_recent.size()) > RecentLines)
        m_recent.pop_front();
    {
        const std::lock_guard lock(m_mutex);
        if (qsizetype(m_waiting.size()) >= m_maxWaitingLines) {
            ++m_dropped;
            return;
        }
        m_waiting.push_back(std::move(line));
    }
    m_wake.notify_one();
}

QStringList EventLog::recentLines() const {
    QStringList lines;
    for (const QByteArray& line : m_recent)
        lines.append(QString::fromUtf8(line.chopped(1)));
    return lines;
}

void EventLog::run() {
    // Standard error read by a pipe whose reader has gone (a "| tee" ended, a journal restarted) fails
    // the write instead of ending the display: the signal is for the writing thread, which holds it.
    sigset_t brokenPipe;
    sigemptyset(&brokenPipe);
    sigaddset(&brokenPipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &brokenPipe, nullptr);
    openFile();
    std::deque<QByteArray> lines;
    for (;;) {
        qint64 dropped = 0;
        bool stopping = false;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_waiting.empty(); });
            lines.swap(m_waiting);
            dropped = std::exchange(m_dropped, 0);
            stopping = m_stopping;
        }
        for (const QByteArray& line : lines)
            writeLine(line);
        lines.clear();
        if (dropped > 0)
            writeLine(FormatLogLine(QDateTime::currentDateTime(), LogCategory::Warning,
                                    u"%1 log lines were dropped: the log could not be written as fast as "
                                    u"events came"_s.arg(dropped)));
        if (stopping)
            return;
    }
}

void EventLog::openFile() {
    if (m_filePath.isEmpty())
        return;
    // Only the user reads it: it holds peer addresses and caption text.
    m_fileDescriptor =
        ::open(QFile::encodeName(m_filePath).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY, 0600);
    if (m_fileDescriptor < 0)
        giveUpFile("opened", errno);
}

void EventLog::writeLine(const QByteArray& line) {
    writeAll(m_errorDescriptor, line); // standard error gone has nowhere to be reported
    if (m_fileDescriptor >= 0 && !writeAll(m_fileDescriptor, line))
        giveUpFile("written", errno);
}

void EventLog::giveUpFile(const char* what, int error) {
    if (m_fileDescriptor >= 0)
        ::close(m_fileDescriptor);
    m_fileDescriptor = -1;
    const QString message = u"the log file \"%1\" cannot be %2 (%3): the log goes on on standard error only"_s.arg(
        m_filePath, QLatin1StringView(what), qt_error_string(error));
    writeAll(m_errorDescriptor, FormatLogLine(QDateTime::currentDateTime(), LogCategory::Warning, message));
}
