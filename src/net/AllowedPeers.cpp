#include "AllowedPeers.h"

#include <QStringList>

using namespace Qt::Literals::StringLiterals;

namespace {

int fullPrefix(const QHostAddress& address) {
    return address.protocol() == QAbstractSocket::IPv4Protocol ? 32 : 128;
}

// One entry: an address alone, or an address and a prefix length (or an IPv4 netmask) after "/".
std::optional<QPair<QHostAddress, int>> parseEntry(const QString& entry) {
    const qsizetype slash = entry.indexOf(u'/');
    QHostAddress address;
    // Only the usual form: the shortened and numeric forms an IPv4 parser may take ("10", "10.1",
    // "010.0.0.1") are refused as unclear.
    const QString addressPart = slash < 0 ? entry : entry.first(slash);
    if (!address.setAddress(addressPart))
        return std::nullopt;
    if (address.protocol() == QAbstractSocket::IPv4Protocol && address.toString() != addressPart)
        return std::nullopt;
    // A scope ("%eth0") names a link, which a range of addresses has no use for.
    if (address.protocol() != QAbstractSocket::IPv4Protocol && address.protocol() != QAbstractSocket::IPv6Protocol)
        return std::nullopt;
    if (!address.scopeId().isEmpty())
        return std::nullopt;
    if (slash < 0) {
        address = PlainPeerAddress(address);
        return QPair<QHostAddress, int>(address, fullPrefix(address));
    }
    const QPair<QHostAddress, int> range = QHostAddress::parseSubnet(entry);
    if (range.second < 0 || range.first.isNull())
        return std::nullopt;
    return range;
}

} // namespace

QHostAddress PlainPeerAddress(const QHostAddress& address) {
    if (address.protocol() == QAbstractSocket::IPv6Protocol) {
        bool isIPv4 = false;
        const quint32 ipv4 = address.toIPv4Address(&isIPv4);
        if (isIPv4)
            return QHostAddress(ipv4);
    }
    return address;
}

AllowedPeers::Parsed AllowedPeers::parse(QStringView list) {
    Parsed parsed;
    if (list.trimmed().isEmpty())
        return parsed;
    for (QStringView part : list.split(u',')) {
        const QString entry = part.trimmed().toString();
        const std::optional<QPair<QHostAddress, int>> range = parseEntry(entry);
        if (!range) {
            parsed.badEntry = entry;
            parsed.peers = AllowedPeers();
            return parsed;
        }
        parsed.peers.m_ranges.append(*range);
    }
    return parsed;
}

bool AllowedPeers::allows(const QHostAddress& peer) const {
    if (m_ranges.isEmpty())
        return true;
    const QHostAddress address = PlainPeerAddress(peer);
    for (const auto& range : m_ranges) {
        if (address.isInSubnet(range))
            return true;
    }
    return false;
}

QString AllowedPeers::description() const {
    if (m_ranges.isEmpty())
        return u"everyone"_s;
    QStringList ranges;
    for (const auto& [address, prefix] : m_ranges)
        ranges.append(address.toString() + u'/' + QString::number(prefix));
    return ranges.join(u", "_s);
}
