#include "CaptionQueue.h"

CaptionQueue::CaptionQueue(qsizetype maxDocuments, qsizetype maxBytes)
    : m_maxDocuments(maxDocuments), m_maxBytes(maxBytes) {}

CaptionQueue::Overflow CaptionQueue::push_back(QString document) {
    const qsizetype bytes = document.size() * qsizetype(sizeof(QChar));
    m_entries.push_back({std::move(document), bytes});
    m_bytes += bytes;
    bool gaveWay = false;
    while (m_entries.size() > 1 && (size() > m_maxDocuments || m_bytes > m_maxBytes)) {
        m_bytes -= m_entries.front().bytes;
        m_entries.pop_front();
        gaveWay = true;
    }
    if (!gaveWay)
        return Overflow::None;
    return std::exchange(m_overflowing, true) ? Overflow::Continuing : Overflow::Started;
}

void CaptionQueue::pop_front() {
    m_bytes -= m_entries.front().bytes;
    m_entries.pop_front();
    if (m_entries.empty())
        m_overflowing = false;
}

void CaptionQueue::clear() {
    m_entries.clear();
    m_bytes = 0;
    m_overflowing = false;
}
