#include "SignOn.h"

#include "captions/AnsiCodePage.h"
#include "captions/XmlDocument.h"

#include <QFile>
#include <QNetworkInterface>
#include <QRegularExpression>
#include <QUdpSocket>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr char EthernetType[] = "ETHERNET";
constexpr char WirelessType[] = "WIRELESS";
constexpr char UpStatus[] = "Up";

QString typeWord(QNetworkInterface::InterfaceType type) {
    switch (type) {
    case QNetworkInterface::Ethernet:
        return QString::fromLatin1(EthernetType);
    case QNetworkInterface::Wifi:
        return QString::fromLatin1(WirelessType);
    case QNetworkInterface::Loopback:
        return u"LOOPBACK"_s;
    default:
        return u"OTHER"_s;
    }
}

} // namespace

QList<SignOnAdapter> SystemSignOnAdapters() {
    QList<SignOnAdapter> adapters;
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        const bool up = interface.flags().testFlags(QNetworkInterface::IsUp | QNetworkInterface::IsRunning);
        const QString status = up ? QString::fromLatin1(UpStatus) : u"Down"_s;
        bool hasAddress = false;
        for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
            if (entry.ip().protocol() != QAbstractSocket::IPv4Protocol)
                continue;
            adapters.append({entry.ip().toString(), typeWord(interface.type()), status});
            hasAddress = true;
        }
        if (!hasAddress)
            adapters.append({QString(), typeWord(interface.type()), status});
    }
    return adapters;
}

const SignOnAdapterSource& systemSignOnAdapters() {
    struct SystemAdapters : SignOnAdapterSource {
        QList<SignOnAdapter> signOnAdapters() const override { return SystemSignOnAdapters(); }
    };
    static const SystemAdapters adapters;
    return adapters;
}

QList<SignOnAdapter> QualifyingAdapters(const QList<SignOnAdapter>& adapters) {
    QList<SignOnAdapter> qualifying;
    for (const SignOnAdapter& adapter : adapters) {
        if (adapter.address.isEmpty())
            continue;
        if (adapter.type != QLatin1StringView(EthernetType) && adapter.type != QLatin1StringView(WirelessType))
            continue;
        if (adapter.status != QLatin1StringView(UpStatus))
            continue;
        qualifying.append(adapter);
    }
    return qualifying;
}

QList<SignOnAdapter> AdaptersHolding(const QList<SignOnAdapter>& adapters, const QHostAddress& address) {
    QList<SignOnAdapter> holding;
    for (const SignOnAdapter& adapter : adapters) {
        if (!adapter.address.isEmpty() &&
            QHostAddress(adapter.address).isEqual(address, QHostAddress::TolerantConversion))
            holding.append(adapter);
    }
    return holding;
}

QByteArray SignOnText(const SignOnAdapter& adapter, const SignOnValues& values) {
    XmlDocument document;
    pugi::xml_node element = document.createDocumentElement("PC_Display");
    setAttributeText(element, "IP_Address", adapter.address);
    setAttributeText(element, "Port", values.feedPort);
    setAttributeText(element, "Type", u"PC Display");
    setAttributeText(element, "Version", values.version);
    setAttributeText(element, "Width", QString::number(values.width));
    setAttributeText(element, "Height", QString::number(values.height));
    setAttributeText(element, "PC_ID", values.pcId);
    return AnsiCodePage::fromUnicode(document.text() + u"\r\n"_s);
}

QString MachinePcId() {
    static const QRegularExpression machineId(u"^[0-9a-fA-F]{32}$"_s);
    for (const char* path : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
        QFile file(QString::fromLatin1(path));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString id = QString::fromLatin1(file.read(64)).trimmed();
        if (!machineId.match(id).hasMatch())
            continue;
        const QString hex = id.toUpper();
        return u"{%1-%2-%3-%4-%5}"_s.arg(hex.mid(0, 8), hex.mid(8, 4), hex.mid(12, 4), hex.mid(16, 4), hex.mid(20, 12));
    }
    return {};
}

int SendSignOn(const QList<SignOnAdapter>& adapters, const SignOnValues& values) {
    int sent = 0;
    for (const SignOnAdapter& adapter : QualifyingAdapters(adapters)) {
        QUdpSocket socket;
        if (!socket.bind(QHostAddress(adapter.address), 0))
            continue;
        const QByteArray text = SignOnText(adapter, values);
        if (socket.writeDatagram(text, QHostAddress::Broadcast, SignOnPort) == text.size())
            ++sent;
    }
    return sent;
}
