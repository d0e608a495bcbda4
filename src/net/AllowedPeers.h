#pragma once

#include <QHostAddress>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringView>
#include <optional>

// The controllers a listening port serves: addresses and ranges (CIDR) of IPv4 and IPv6, given as a
// comma-separated list ("192.168.10.0/24, 10.0.0.5, fd00::/8"). An empty list serves everyone.
// A peer whose IPv6 address is an IPv4 address in IPv6 form (::ffff:10.0.0.5) is matched as that IPv4
// address, so a port listening on both families treats an IPv4 controller alike either way.
class AllowedPeers {
public:
    // Everyone.
    AllowedPeers() = default;

    struct Parsed;
    // The list, or the first entry that is not an address or a range. Blanks around entries are
    // passed over; an empty entry (",," or a comma at an end) is an error, so that a slip of the pen
    // never widens the list. A list of nothing but blanks is everyone.
    static Parsed parse(QStringView list);

    bool allowsEveryone() const { return m_ranges.isEmpty(); }
    bool allows(const QHostAddress& peer) const;

    // The list as the log shows it: "everyone", or each range as "address/prefix", comma-separated.
    QString description() const;

    bool operator==(const AllowedPeers&) const = default;

private:
    QList<QPair<QHostAddress, int>> m_ranges;
};

// The address itself for an IPv4 address in IPv6 form (::ffff:10.0.0.5 is 10.0.0.5), any other
// address unchanged: how a peer is matched and named.
QHostAddress PlainPeerAddress(const QHostAddress& address);

struct AllowedPeers::Parsed {
    AllowedPeers peers;
    // The first entry that is neither an address nor a range, as written (without its blanks).
    std::optional<QString> badEntry;
    bool ok() const { return !badEntry; }
};
