#pragma once

#include "CommandLine.h"
#include "StoredSettings.h"
#include "net/AllowedPeers.h"

#include <QHostAddress>
#include <QString>
#include <optional>

// How a display starts beyond its window: its name among the displays of one computer, and the
// address its ports listen on and the controllers they serve. Each comes from its switch, else from
// the stored settings; a value that cannot be read stops the start with a one-line error (exit
// status 2, as for any bad switch), so that a slip never leaves a display open to everyone.

inline constexpr int BadStartOptionStatus = 2;
inline constexpr qsizetype MaxInstanceNameLength = 64;

// "/instance NAME": letters, digits, "-" and "_" (it names the display's store, files and service).
// Without the switch the name is empty: the display as it has always been.
struct InstanceNameRead {
    QString name;
    std::optional<QString> error;
};
InstanceNameRead ReadInstanceName(const CommandLine& commandLine);

struct ListenOptions {
    // The address as configured; empty for every IPv4 address.
    QString listenAddressText;
    QHostAddress listenAddress = QHostAddress::AnyIPv4;
    AllowedPeers allowedPeers;

    // Every address of the computer: none configured, or a wildcard ("0.0.0.0", "::").
    bool listensOnEveryAddress() const;
    // As the start-up log says it: "every IPv4 address" or the address.
    QString listenDescription() const;
};

struct ListenOptionsRead {
    ListenOptions options;
    std::optional<QString> error;
};
// "/bind ADDRESS" and "/allow LIST", each winning over its stored value ("Listen Address",
// "Allowed Controllers").
ListenOptionsRead ReadListenOptions(const CommandLine& commandLine, const StoredNetwork& stored);
