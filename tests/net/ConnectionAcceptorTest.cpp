#include "net/ConnectionAcceptor.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QTimer>
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

template <typename Condition> bool waitFor(Condition condition, int milliseconds = 5000) {
    const QDeadlineTimer deadline(milliseconds);
    while (!condition() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return condition();
}

// How often the event loop wakes up in the given time with nothing else to do.
int wakeUps(int milliseconds) {
    bool over = false;
    QTimer::singleShot(milliseconds, [&over] { over = true; });
    int count = 0;
    while (!over) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        ++count;
    }
    return count;
}

// A client connection made without Qt, so that its descriptor is the only one it takes.
int connectTo(quint16 port) {
    const int descriptor = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::connect(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    return descriptor;
}

// Takes every free file descriptor of the process (under a limit lowered to keep that quick), and
// gives them back at the end.
class DescriptorsTaken {
public:
    DescriptorsTaken() {
        ::getrlimit(RLIMIT_NOFILE, &m_limit);
        rlimit lowered = m_limit;
        lowered.rlim_cur = std::min<rlim_t>(m_limit.rlim_cur, 256);
        ::setrlimit(RLIMIT_NOFILE, &lowered);
        for (int descriptor; (descriptor = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
            m_taken.push_back(descriptor);
    }
    ~DescriptorsTaken() {
        for (int descriptor : m_taken)
            ::close(descriptor);
        ::setrlimit(RLIMIT_NOFILE, &m_limit);
    }
    void giveBackOne() {
        ::close(m_taken.back());
        m_taken.pop_back();
    }

private:
    rlimit m_limit{};
    std::vector<int> m_taken;
};

} // namespace

TEST(ConnectionAcceptorTest, OutOfDescriptorsItWaitsQuietlyAndAcceptsOnceAConnectionHasGone) {
    ConnectionAcceptor acceptor(15);
    ASSERT_TRUE(acceptor.listen(QHostAddress::LocalHost, 0));
    std::vector<QTcpSocket*> accepted;
    QObject::connect(&acceptor, &ConnectionAcceptor::accepted,
                     [&accepted](QTcpSocket* connection) { accepted.push_back(connection); });
    QTcpSocket first;
    first.connectToHost(QHostAddress::LocalHost, acceptor.port());
    ASSERT_TRUE(waitFor([&] { return accepted.size() == 1; }));

    int waiting = -1;
    {
        DescriptorsTaken taken;
        taken.giveBackOne();
        waiting = connectTo(acceptor.port()); // takes the last descriptor; waits in the backlog
        // A listener that kept retrying would wake the event loop thousands of times meanwhile.
        EXPECT_LT(wakeUps(300), 20);
        EXPECT_EQ(accepted.size(), 1u);

        delete accepted.front(); // a descriptor is free again: the waiting connection is taken at once
        EXPECT_TRUE(waitFor([&] { return accepted.size() == 2; }, ConnectionAcceptor::RetryMilliseconds / 2));
    }
    ::close(waiting);
}
