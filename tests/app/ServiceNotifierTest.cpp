#include "app/ServiceNotifier.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;

namespace {

// The service manager's end: a datagram socket the notifier is pointed at through NOTIFY_SOCKET.
class ServiceNotifierTest : public testing::Test {
protected:
    ServiceNotifierTest() {
        m_socket = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        m_path = m_directory.filePath(QStringLiteral("notify")).toLocal8Bit();
        std::copy_n(m_path.constData(), m_path.size(), address.sun_path);
        EXPECT_EQ(::bind(m_socket, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        qunsetenv("NOTIFY_SOCKET");
        qunsetenv("WATCHDOG_USEC");
        qunsetenv("WATCHDOG_PID");
    }
    ~ServiceNotifierTest() override {
        qunsetenv("NOTIFY_SOCKET");
        qunsetenv("WATCHDOG_USEC");
        ::close(m_socket);
    }

    void pointNotifierHere() { qputenv("NOTIFY_SOCKET", m_path); }

    // The messages that have arrived, without waiting.
    std::vector<std::string> received() {
        std::vector<std::string> messages;
        char buffer[256];
        for (ssize_t length; (length = ::recv(m_socket, buffer, sizeof buffer, 0)) >= 0;)
            messages.emplace_back(buffer, size_t(length));
        return messages;
    }

    // Runs the event loop until count messages have arrived (or five seconds have passed).
    std::vector<std::string> receiveWhileRunning(size_t count) {
        std::vector<std::string> messages;
        QElapsedTimer clock;
        clock.start();
        while (messages.size() < count && clock.elapsed() < 5000) {
            QTest::qWait(10);
            for (std::string& message : received())
                messages.push_back(std::move(message));
        }
        return messages;
    }

    ServiceNotifier notifier;

private:
    QTemporaryDir m_directory;
    QByteArray m_path;
    int m_socket = -1;
};

TEST_F(ServiceNotifierTest, ReadyThenWatchdogAtHalfItsInterval) {
    pointNotifierHere();
    qputenv("WATCHDOG_USEC", "100000");
    notifier.notifyReady();
    EXPECT_EQ(notifier.watchdogInterval(), 50ms);
    const std::vector<std::string> messages = receiveWhileRunning(4);
    ASSERT_GE(messages.size(), 4u);
    EXPECT_EQ(messages[0], "READY=1");
    for (size_t i = 1; i < messages.size(); ++i)
        EXPECT_EQ(messages[i], "WATCHDOG=1");
}

TEST_F(ServiceNotifierTest, AHungEventLoopStopsTheWatchdogMessages) {
    pointNotifierHere();
    qputenv("WATCHDOG_USEC", "20000");
    notifier.notifyReady();
    ASSERT_GE(receiveWhileRunning(2).size(), 2u); // ready and a first watchdog message
    std::this_thread::sleep_for(200ms);           // ten intervals without the event loop
    EXPECT_TRUE(received().empty());
    const std::vector<std::string> resumed = receiveWhileRunning(1);
    ASSERT_FALSE(resumed.empty());
    EXPECT_EQ(resumed.front(), "WATCHDOG=1");
}

TEST_F(ServiceNotifierTest, NoWatchdogAskedForSendsOnlyReady) {
    pointNotifierHere();
    notifier.notifyReady();
    EXPECT_EQ(notifier.watchdogInterval(), 0ms);
    QTest::qWait(100);
    EXPECT_EQ(received(), std::vector<std::string>{"READY=1"});
}

TEST_F(ServiceNotifierTest, WithoutAServiceManagerNothingIsSent) {
    notifier.notifyReady();
    EXPECT_EQ(notifier.watchdogInterval(), 0ms);
    QTest::qWait(100);
    EXPECT_TRUE(received().empty());
}

} // namespace
