#include "ColumnWarning.h"
#include "Commands.h"
#include "DocumentSources.h"
#include "MessageEscapes.h"
#include "PresentationTime.h"
#include "ToolSupport.h"
#include "captions/AnsiCodePage.h"
#include "captions/XmlDocument.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QThread>
#include <QUdpSocket>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int TimeoutMilliseconds = 5000;
constexpr int PauseBetweenMessagesMilliseconds = 250;

constexpr char SendHelp[] =
    "Usage: veltrinox-caption send [--host H] [--port P] [--no-wait] [--clear-speed SPEED] [FILE...]\n"
    "\n"
    "Sends caption documents to a display's caption feed port (default 127.0.0.1:10000) as UTF-16LE,\n"
    "each waiting for the display's \"OK\". Documents are read as inspect reads them, and one that\n"
    "will show an empty column is named on standard error.\n"
    "The display drops the documents still waiting when a connection closes, so send keeps its\n"
    "connection open until every document has been presented, its entry effect run to its end (the\n"
    "time the display's own engine takes for them); the last one stays on screen. A \"{CLEAR}\" caption\n"
    "scrolls at the rate the display's last Stagetext caption set, which send cannot see: it is taken\n"
    "to scroll at the slowest rate (about ten seconds) unless --clear-speed gives that rate.\n"
    "  --no-wait             close the connection after the last \"OK\" (the display keeps only the\n"
    "                        document it is presenting then)\n"
    "  --clear-speed SPEED   the display's Stagetext rate as a speed text (\"96%\"; empty before any\n"
    "                        rate was set), for the wait for \"{CLEAR}\" captions (default: the slowest)\n"
    "Exit status 1 when the display refuses the connection or does not answer within 5 s.\n";

// The display's animation clock may fall behind while it draws: the wait allows for that.
constexpr int PresentationMarginPercent = 25;
constexpr int PresentationMarginMilliseconds = 500;

constexpr char StagetextHelp[] =
    "Usage: veltrinox-caption stagetext [--host H] [--port P] MESSAGE...\n"
    "\n"
    "Sends Stagetext messages to a display's control port (default 127.0.0.1:1024), one write each,\n"
    "a quarter of a second apart (the display takes each read as one message).\n"
    "Escapes as in convert: \\r \\n \\t \\v \\f \\a \\\\ \\xHH.\n";

constexpr char StatusHelp[] =
    "Usage: veltrinox-caption status [--host H] [--port P] [--json]\n"
    "\n"
    "Asks a display's control port (default 127.0.0.1:1024) for its status and prints the reply\n"
    "(seven Key=value lines), or one JSON object with --json.\n";

constexpr char ListenHelp[] =
    "Usage: veltrinox-caption listen [--port 9999] [--count N] [--timeout S] [--json]\n"
    "\n"
    "Prints the sign-on datagrams displays broadcast, one a line (or one JSON object of their\n"
    "attributes with --json), until N have arrived or S seconds have passed.\n";

// The connection a command talks over, with the display's greeting line read.
class DisplayConnection {
public:
    DisplayConnection(const QString& host, quint16 port) {
        m_socket.connectToHost(host, port);
        if (!m_socket.waitForConnected(TimeoutMilliseconds))
            throw std::runtime_error(
                u"cannot connect to %1:%2: %3"_s.arg(host).arg(port).arg(m_socket.errorString()).toStdString());
        readLine();
    }

    QByteArray readLine() {
        QElapsedTimer clock;
        clock.start();
        while (!m_socket.canReadLine()) {
            if (clock.hasExpired(TimeoutMilliseconds) || !m_socket.waitForReadyRead(TimeoutMilliseconds))
                throw std::runtime_error("the display did not answer in time");
        }
        return m_socket.readLine();
    }

    QByteArray read(qint64 count) {
        QByteArray bytes;
        QElapsedTimer clock;
        clock.start();
        while (bytes.size() < count) {
            bytes += m_socket.read(count - bytes.size());
            if (bytes.size() < count &&
                (clock.hasExpired(TimeoutMilliseconds) || !m_socket.waitForReadyRead(TimeoutMilliseconds)))
                throw std::runtime_error("the display did not answer in time");
        }
        return bytes;
    }

    void write(const QByteArray& bytes) {
        m_socket.write(bytes);
        if (!m_socket.waitForBytesWritten(TimeoutMilliseconds))
            throw std::runtime_error("the display does not take what is sent");
    }

private:
    QTcpSocket m_socket;
};

struct Endpoint {
    QString host;
    quint16 port;
};

Endpoint endpoint(QCommandLineParser& parser, quint16 defaultPort) {
    const int port = parser.isSet(u"port"_s) ? integerOption(parser, u"port"_s) : defaultPort;
    if (port < 1 || port > 65535)
        throw UsageError(u"--port needs a port from 1 to 65535"_s);
    return {parser.value(u"host"_s), quint16(port)};
}

void addEndpointOptions(QCommandLineParser& parser) {
    parser.addOption({u"host"_s, QString(), u"H"_s, u"127.0.0.1"_s});
    parser.addOption({u"port"_s, QString(), u"P"_s});
}

template <typename Run> int runNetworkCommand(Run run) {
    try {
        run();
        return ExitSuccess;
    } catch (const std::runtime_error& error) {
        if (dynamic_cast<const UsageError*>(&error))
            throw;
        writeError(QString::fromStdString(error.what()));
        return ExitFailure;
    }
}

} // namespace

int RunSend(const QStringList& arguments) {
    QCommandLineParser parser;
    addEndpointOptions(parser);
    parser.addOption({u"no-wait"_s, QString()});
    parser.addOption({u"clear-speed"_s, QString(), u"SPEED"_s, SlowestStagetextSpeed.toString()});
    if (!parseArguments(parser, arguments)) {
        writeOut(SendHelp);
        return ExitSuccess;
    }
    const Endpoint target = endpoint(parser, 10000);
    const QStringList documents = ReadDocumentSources(parser.positionalArguments());
    ColumnWarnings warnings;
    for (const QString& document : documents) {
        if (const std::optional<QString> warning = warnings.read(document))
            writeError(*warning);
    }
    const qint64 presentation =
        parser.isSet(u"no-wait"_s) ? 0 : PresentationMilliseconds(documents, parser.value(u"clear-speed"_s));
    return runNetworkCommand([&] {
        DisplayConnection display(target.host, target.port);
        for (const QString& document : documents) {
            display.write(QByteArray(reinterpret_cast<const char*>(document.utf16()), document.size() * 2));
            if (display.read(2) != "OK")
                throw std::runtime_error("the display did not acknowledge a document");
        }
        if (presentation > 0)
            QThread::msleep(presentation * (100 + PresentationMarginPercent) / 100 + PresentationMarginMilliseconds);
    });
}

int RunStagetext(const QStringList& arguments) {
    QCommandLineParser parser;
    addEndpointOptions(parser);
    if (!parseArguments(parser, arguments)) {
        writeOut(StagetextHelp);
        return ExitSuccess;
    }
    const Endpoint target = endpoint(parser, 1024);
    QList<QByteArray> messages;
    for (const QString& message : parser.positionalArguments())
        messages.append(MessageFromEscapedArgument(message));
    if (messages.isEmpty())
        throw UsageError(u"stagetext needs at least one MESSAGE (see stagetext --help)"_s);
    return runNetworkCommand([&] {
        DisplayConnection display(target.host, target.port);
        for (qsizetype i = 0; i < messages.size(); ++i) {
            if (i > 0)
                QThread::msleep(PauseBetweenMessagesMilliseconds); // each message a read of its own
            display.write(messages[i]);
        }
    });
}

int RunStatus(const QStringList& arguments) {
    QCommandLineParser parser;
    addEndpointOptions(parser);
    parser.addOption({u"json"_s, QString()});
    if (!parseArguments(parser, arguments)) {
        writeOut(StatusHelp);
        return ExitSuccess;
    }
    const Endpoint target = endpoint(parser, 1024);
    return runNetworkCommand([&] {
        DisplayConnection display(target.host, target.port);
        display.write("\x0B?0");
        QJsonObject status;
        QByteArray reply;
        for (int line = 0; line < 7; ++line) {
            const QByteArray text = display.readLine();
            reply += text;
            const QString decoded = AnsiCodePage::toUnicode(text).trimmed();
            const qsizetype equals = decoded.indexOf(u'=');
            status.insert(decoded.first(std::max<qsizetype>(equals, 0)), decoded.sliced(equals + 1));
        }
        writeOut(parser.isSet(u"json"_s) ? QJsonDocument(status).toJson(QJsonDocument::Compact) + '\n' : reply);
    });
}

int RunListen(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.addOption({u"port"_s, QString(), u"P"_s, u"9999"_s});
    parser.addOption({u"count"_s, QString(), u"N"_s});
    parser.addOption({u"timeout"_s, QString(), u"S"_s});
    parser.addOption({u"json"_s, QString()});
    if (!parseArguments(parser, arguments)) {
        writeOut(ListenHelp);
        return ExitSuccess;
    }
    const int port = integerOption(parser, u"port"_s);
    const int count = parser.isSet(u"count"_s) ? integerOption(parser, u"count"_s) : -1;
    const int seconds = parser.isSet(u"timeout"_s) ? integerOption(parser, u"timeout"_s) : -1;
    if (port < 1 || port > 65535)
        throw UsageError(u"--port needs a port from 1 to 65535"_s);
    return runNetworkCommand([&] {
        QUdpSocket socket;
        if (!socket.bind(QHostAddress::AnyIPv4, quint16(port), QUdpSocket::ShareAddress))
            throw std::runtime_error(
                u"cannot listen on port %1: %2"_s.arg(port).arg(socket.errorString()).toStdString());
        QElapsedTimer clock;
        clock.start();
        for (int received = 0; count < 0 || received < count;) {
            const int left = seconds < 0 ? -1 : int(seconds * 1000 - clock.elapsed());
            if (seconds >= 0 && left <= 0)
                break;
            if (!socket.hasPendingDatagrams() && !socket.waitForReadyRead(left < 0 ? 1000 : left))
                continue;
            while (socket.hasPendingDatagrams() && (count < 0 || received < count)) {
                QByteArray datagram(socket.pendingDatagramSize(), Qt::Uninitialized);
                socket.readDatagram(datagram.data(), datagram.size());
                ++received;
                if (!parser.isSet(u"json"_s)) {
                    writeOut(datagram.endsWith('\n') ? datagram : datagram + "\r\n");
                    continue;
                }
                XmlDocument document;
                QJsonObject attributes;
                if (document.load(AnsiCodePage::toUnicode(datagram)) == XmlDocument::ParseStatus::Parsed) {
                    for (const pugi::xml_attribute attribute : document.documentElement().attributes())
                        attributes.insert(QString::fromUtf8(attribute.name()), attributeText(attribute));
                }
                writeOut(QJsonDocument(attributes).toJson(QJsonDocument::Compact) + '\n');
            }
            std::fflush(stdout);
        }
    });
}
