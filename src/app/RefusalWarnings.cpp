#include "RefusalWarnings.h"

using namespace Qt::Literals::StringLiterals;

RefusalWarnings::RefusalWarnings(qsizetype maxNamedAddresses) : m_maxNamed(maxNamedAddresses) {}

std::optional<QString> RefusalWarnings::refused(const QHostAddress& peer, qint64 now) {
    forgetBefore(now - IntervalMilliseconds);
    if (m_named.contains(peer))
        return std::nullopt;
    if (m_named.size() < m_maxNamed) {
        m_named.insert(peer, now);
        m_order.emplace_back(peer, now);
        return u"connection from %1 refused: not an allowed controller (its further attempts are not logged "
               u"for a minute)"_s.arg(peer.toString());
    }
    ++m_unnamed;
    if (m_lastSummary && now - *m_lastSummary < IntervalMilliseconds)
        return std::nullopt;
    m_lastSummary = now;
    return u"connections refused from more addresses than the log names: %1 not named since the last such "
           u"line (at most %2 addresses are named a minute)"_s.arg(std::exchange(m_unnamed, 0))
               .arg(m_maxNamed);
}

void RefusalWarnings::forgetBefore(qint64 time) {
    // Names are given in time order, so the oldest is always first.
    while (!m_order.empty() && m_order.front().second <= time) {
        m_named.remove(m_order.front().first);
        m_order.pop_front();
    }
}
