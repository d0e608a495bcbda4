// Allow lists of any text, as an operator or a settings file gives them, and peers of any address.
#include "FuzzSupport.h"
#include "net/AllowedPeers.h"

#include <QHostAddress>
#include <QString>
#include <fuzzer/FuzzedDataProvider.h>

using FuzzSupport::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string peerBytes = input.ConsumeBytesAsString(16);
    const std::string listBytes = input.ConsumeRemainingBytesAsString();
    const QString list = QString::fromUtf8(listBytes.data(), qsizetype(listBytes.size()));

    const AllowedPeers::Parsed parsed = AllowedPeers::parse(list);
    if (!parsed.ok()) {
        require(parsed.peers.allowsEveryone(), "a refused list keeps no entries");
        require(list.contains(*parsed.badEntry), "the bad entry is named as it was written");
        return 0;
    }
    require(parsed.peers.allowsEveryone() == list.trimmed().isEmpty(), "only an empty list serves everyone");

    // The list as the log shows it reads back as the same list.
    const AllowedPeers::Parsed again = AllowedPeers::parse(parsed.peers.description());
    if (!parsed.peers.allowsEveryone()) {
        require(again.ok(), "the description reads back");
        require(again.peers == parsed.peers, "the description reads back as the same list");
    }

    QHostAddress peer;
    if (peerBytes.size() == 16)
        peer = QHostAddress(reinterpret_cast<const quint8*>(peerBytes.data()));
    else if (peerBytes.size() >= 4)
        peer = QHostAddress(quint32(quint8(peerBytes[0])) << 24 | quint32(quint8(peerBytes[1])) << 16 |
                            quint32(quint8(peerBytes[2])) << 8 | quint32(quint8(peerBytes[3])));
    if (!peer.isNull()) {
        bool isIPv4 = false;
        const quint32 ipv4 = peer.toIPv4Address(&isIPv4);
        if (isIPv4)
            require(parsed.peers.allows(peer) == parsed.peers.allows(QHostAddress(ipv4)),
                    "an IPv4 address in IPv6 form is matched as the IPv4 address");
    }
    return 0;
}
