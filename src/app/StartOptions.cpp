#include "StartOptions.h"

#include <QRegularExpression>

using namespace Qt::Literals::StringLiterals;

namespace {

// Where a value came from, as an error names it.
struct Source {
    QString text;
    QString origin; // "/bind" or "stored \"Listen Address\""
};

Source fromSwitchOrStore(const CommandLine& commandLine, QStringView name, const QString& stored,
                         QLatin1StringView storedName) {
    if (commandLine.FindCmdLineSwitch(name))
        return {commandLine.ReturnParamStr(name), u'/' + name.toString()};
    return {stored, u"stored \"%1\""_s.arg(storedName)};
}

} // namespace

InstanceNameRead ReadInstanceName(const CommandLine& commandLine) {
    if (!commandLine.FindCmdLineSwitch(u"instance"))
        return {};
    static const QRegularExpression name(u"^[A-Za-z0-9_-]+$"_s);
    const QString value = commandLine.ReturnParamStr(u"instance");
    if (!name.match(value).hasMatch() || value.size() > MaxInstanceNameLength)
        return {{},
                u"/instance \"%1\": a display's name is 1 to %2 letters, digits, \"-\" and \"_\""_s.arg(value).arg(
                    MaxInstanceNameLength)};
    return {value, std::nullopt};
}

QString ListenOptions::listenDescription() const {
    return listenAddressText.isEmpty() ? u"every IPv4 address"_s : listenAddress.toString();
}

bool ListenOptions::listensOnEveryAddress() const {
    return listenAddress == QHostAddress(QHostAddress::AnyIPv4) ||
           listenAddress == QHostAddress(QHostAddress::AnyIPv6) || listenAddress == QHostAddress(QHostAddress::Any);
}

ListenOptionsRead ReadListenOptions(const CommandLine& commandLine, const StoredNetwork& stored) {
    ListenOptionsRead read;
    const Source bind = fromSwitchOrStore(commandLine, u"bind", stored.listenAddress, StoredSettings::ListenAddress);
    const QString address = bind.text.trimmed();
    if (!address.isEmpty()) {
        QHostAddress parsed;
        if (!parsed.setAddress(address) ||
            (parsed.protocol() == QAbstractSocket::IPv4Protocol && parsed.toString() != address)) {
            read.error = u"%1 \"%2\": not an IPv4 or IPv6 address"_s.arg(bind.origin, bind.text);
            return read;
        }
        read.options.listenAddressText = address;
        read.options.listenAddress = parsed;
    }

    const Source allow =
        fromSwitchOrStore(commandLine, u"allow", stored.allowedControllers, StoredSettings::AllowedControllers);
    const AllowedPeers::Parsed peers = AllowedPeers::parse(allow.text);
    if (!peers.ok() && peers.badEntry->isEmpty()) {
        read.error = u"%1: an empty entry (two commas together, or one at an end)"_s.arg(allow.origin);
        return read;
    }
    if (!peers.ok()) {
        read.error = u"%1: \"%2\" is not an address or a range of addresses (such as 10.0.0.5, 192.168.10.0/24 "
                     u"or fd00::/8)"_s.arg(allow.origin, *peers.badEntry);
        return read;
    }
    read.options.allowedPeers = peers.peers;
    return read;
}
