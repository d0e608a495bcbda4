#include "app/EventLog.h"

#include <QByteArray>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(FormatLogLineTest, TimeToTheMillisecondCategoryAndOneLine) {
    const QDateTime time(QDate(2026, 12, 10), QTime(20, 31, 5, 7));
    const struct {
        LogCategory category;
        QString text;
        QByteArray line;
    } cases[] = {
        {LogCategory::Feed, u"connection from 127.0.0.1:5000"_s,
         "2026-12-10 20:31:05.007 feed     connection from 127.0.0.1:5000\n"},
        {LogCategory::Settings, u"saved"_s, "2026-12-10 20:31:05.007 settings saved\n"},
        // A caption's own line ends and control characters cannot start a line of their own.
        {LogCategory::Caption, u"one\r\ntwo\tthree\x01\u2028"_s,
         "2026-12-10 20:31:05.007 caption  one\\r\\ntwo\\tthree\\u0001\\u2028\n"},
        {LogCategory::Stop, QString(MaxLogTextLength, u'x') + u"y"_s,
         "2026-12-10 20:31:05.007 stop     " + QByteArray(MaxLogTextLength, 'x') + "...\n"},
        {LogCategory::Warning, u"Grüße"_s,
         "2026-12-10 20:31:05.007 warning  Gr\xC3\xBC\xC3\x9F"
         "e\n"},
    };
    for (const auto& [category, text, line] : cases)
        EXPECT_EQ(FormatLogLine(time, category, text), line) << text.toStdString();
}

// Standard error as the log sees it: a pipe the test reads.
class ErrorPipe {
public:
    ErrorPipe() { EXPECT_EQ(::pipe2(m_pipe, O_CLOEXEC), 0); }
    ~ErrorPipe() {
        closeReadEnd();
        closeWriteEnd();
    }
    ErrorPipe(const ErrorPipe&) = delete;
    ErrorPipe& operator=(const ErrorPipe&) = delete;

    int writeEnd() const { return m_pipe[1]; }
    void closeReadEnd() {
        if (m_pipe[0] >= 0)
            ::close(m_pipe[0]);
        m_pipe[0] = -1;
    }
    // Once no log writes to it any more.
    void closeWriteEnd() {
        if (m_pipe[1] >= 0)
            ::close(m_pipe[1]);
        m_pipe[1] = -1;
    }
    // Everything written, until the write end has been closed.
    QByteArray readToEnd() const {
        QByteArray all;
        char chunk[4096];
        for (ssize_t count; (count = ::read(m_pipe[0], chunk, sizeof chunk)) > 0;)
            all.append(chunk, count);
        return all;
    }
    QByteArray readAll() {
        closeWriteEnd();
        return readToEnd();
    }

private:
    int m_pipe[2] = {-1, -1};
};

TEST(EventLogTest, WritesEachLineToStandardErrorAndTheFile) {
    ErrorPipe pipe;
    QTemporaryDir directory;
    const QString path = directory.filePath(u"display.log"_s);
    {
        EventLog log(pipe.writeEnd(), path);
        log.write(LogCategory::Start, u"one");
        log.write(LogCategory::Stop, u"two");
    }
    const QByteArray error = pipe.readAll();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), error);
    EXPECT_EQ(error.count('\n'), 2);
    EXPECT_TRUE(error.contains(" start    one\n"));
    EXPECT_TRUE(error.contains(" stop     two\n"));
}

TEST(EventLogTest, AFileThatCannotBeWrittenIsReportedOnceAndTheLogGoesOn) {
    QTemporaryDir directory;
    const QString cases[] = {u"/dev/full"_s, directory.filePath(u"missing/display.log"_s)};
    for (const QString& path : cases) {
        ErrorPipe pipe;
        {
            EventLog log(pipe.writeEnd(), path);
            for (int i = 0; i < 5; ++i)
                log.write(LogCategory::Caption, u"caption %1"_s.arg(i));
        }
        const QByteArray error = pipe.readAll();
        EXPECT_EQ(error.count("the log file \"" + path.toUtf8() + "\" cannot be"), 1) << error.toStdString();
        EXPECT_EQ(error.count(" caption  caption "), 5) << error.toStdString();
    }
}

TEST(EventLogTest, StandardErrorWithoutAReaderDoesNotEndTheProcess) {
    ErrorPipe pipe;
    pipe.closeReadEnd();
    EventLog log(pipe.writeEnd());
    log.write(LogCategory::Feed, u"nobody reads this");
}

TEST(EventLogTest, AStalledWriterNeverHoldsUpTheCallerAndSaysWhatItDropped) {
    // A pipe of one page that nobody reads yet: the writer thread blocks on it at once.
    ErrorPipe pipe;
    ASSERT_GT(::fcntl(pipe.writeEnd(), F_SETPIPE_SZ, 4096), 0);
    constexpr int Written = 2000;
    constexpr qsizetype Waiting = 16;
    std::thread reader;
    QByteArray error;
    {
        EventLog log(pipe.writeEnd(), {}, Waiting);
        // Were write() to wait for the writer, this loop would never end.
        for (int i = 0; i < Written; ++i)
            log.write(LogCategory::Caption,
                      u"a caption long enough to fill the pipe in a few lines, number %1"_s.arg(i));
        reader = std::thread([&pipe, &error] { error = pipe.readToEnd(); });
    }
    pipe.closeWriteEnd();
    reader.join();
    const qsizetype kept = error.count(" caption  a caption");
    EXPECT_LT(kept, Written);
    EXPECT_GT(kept, 0);
    // Every line is either written or counted as dropped.
    qsizetype dropped = 0;
    const QRegularExpression droppedLine(u" warning  (\\d+) log lines were dropped"_s);
    for (auto match = droppedLine.globalMatch(QString::fromUtf8(error)); match.hasNext();)
        dropped += match.next().captured(1).toLongLong();
    EXPECT_EQ(kept + dropped, Written) << error.right(400).toStdString();
}

} // namespace
