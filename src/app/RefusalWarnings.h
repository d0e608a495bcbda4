#pragma once

#include <QHash>
#include <QHostAddress>
#include <QString>
#include <deque>
#include <optional>

// Decides which refused connections the log names, so that a flood of them cannot flood the log:
// each refused address is named at most once a minute, and at most MaxNamedAddresses of them in any
// minute. Refusals beyond that are counted and summed up in one line, at most once a minute. What
// it remembers stays within those bounds however many addresses knock.
class RefusalWarnings {
public:
    static constexpr qint64 IntervalMilliseconds = 60'000;
    static constexpr qsizetype MaxNamedAddresses = 1024;

    explicit RefusalWarnings(qsizetype maxNamedAddresses = MaxNamedAddresses);

    // A connection from peer was refused at now (milliseconds of a steady clock): the log's warning
    // for it, if it gets one.
    std::optional<QString> refused(const QHostAddress& peer, qint64 now);

    qsizetype rememberedAddresses() const { return m_named.size(); }

private:
    void forgetBefore(qint64 time);

    const qsizetype m_maxNamed;
    QHash<QHostAddress, qint64> m_named;                 // address -> when it was last named
    std::deque<std::pair<QHostAddress, qint64>> m_order; // the same, oldest first
    qint64 m_unnamed = 0;                                // refusals not named since the last summary
    std::optional<qint64> m_lastSummary;
};
