#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QString>

// The sign-on by which controllers find the display: one UDP datagram to 255.255.255.255:9999 from
// each wired or wireless adapter that is up and has an IPv4 address, carrying one PC_Display
// element that names the adapter's address and the caption feed port.

inline constexpr quint16 SignOnPort = 9999;

// One network adapter as the sign-on sees it: its IPv4 address (empty when it has none), its type
// word ("ETHERNET", "WIRELESS" or another) and its status word ("Up" when operational).
struct SignOnAdapter {
    QString address;
    QString type;
    QString status;
    friend bool operator==(const SignOnAdapter&, const SignOnAdapter&) = default;
};

struct SignOnValues {
    QString feedPort;
    QString version;
    int width = 0; // the window's outer size, frame included
    int height = 0;
    QString pcId; // a braced GUID, the same for this computer at every start
};

// The adapters of this computer, read afresh.
QList<SignOnAdapter> SystemSignOnAdapters();

// Where the sign-on finds the adapters it goes out on: this computer's, or a test's.
class SignOnAdapterSource {
public:
    virtual ~SignOnAdapterSource() = default;
    virtual QList<SignOnAdapter> signOnAdapters() const = 0;
};

// This computer's adapters, read afresh at every sign-on.
const SignOnAdapterSource& systemSignOnAdapters();

// The adapters that get a datagram: ETHERNET or WIRELESS, "Up", with an address.
QList<SignOnAdapter> QualifyingAdapters(const QList<SignOnAdapter>& adapters);

// The adapters that hold the address (a display listening on one address signs on only there); none
// for an IPv6 address, which the sign-on cannot announce.
QList<SignOnAdapter> AdaptersHolding(const QList<SignOnAdapter>& adapters, const QHostAddress& address);

// The datagram for one adapter: the PC_Display element and CR LF, in the 8-bit code page.
QByteArray SignOnText(const SignOnAdapter& adapter, const SignOnValues& values);

// The machine's identifier (/etc/machine-id, else /var/lib/dbus/machine-id) as a braced GUID of 38
// characters; empty when neither file holds one.
QString MachinePcId();

// Sends the sign-on from every qualifying adapter; failures to bind or send are passed over.
// Returns how many datagrams were handed to the network.
int SendSignOn(const QList<SignOnAdapter>& adapters, const SignOnValues& values);
