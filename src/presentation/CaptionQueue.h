#pragma once

#include "net/FeedFramer.h"

#include <QString>
#include <deque>

// The caption documents waiting to be presented, oldest first. It is bounded in number and in size,
// so that a controller (or a script gone wrong) sending faster than captions are presented cannot
// grow the display's memory without limit: past a bound, the oldest waiting documents give way.
class CaptionQueue {
public:
    // A show's backlog is a handful of documents: each is sent on its cue and presented within its
    // effect's few seconds. A thousand is more than a whole show's cue list; the bytes hold the
    // largest document the feed takes (128 MiB of text), or a 4K picture caption behind the one on
    // screen and many more ordinary ones.
    static constexpr qsizetype MaxDocuments = 1000;
    static constexpr qsizetype MaxBytes = FeedFramer::MaxDocumentUnits * qsizetype(sizeof(QChar));

    // Whether documents gave way. Started is reported once until the queue has emptied, so that a
    // flood is reported once, not once per document.
    enum class Overflow { None, Started, Continuing };

    explicit CaptionQueue(qsizetype maxDocuments = MaxDocuments, qsizetype maxBytes = MaxBytes);

    // Appends a document. The one appended always stays, whatever its size.
    Overflow push_back(QString document);

    bool empty() const { return m_entries.empty(); }
    qsizetype size() const { return qsizetype(m_entries.size()); }
    // The memory the waiting documents' text takes (UTF-16).
    qsizetype bytes() const { return m_bytes; }
    QString& front() { return m_entries.front().document; }
    void pop_front();
    void clear();

private:
    struct Entry {
        QString document;
        qsizetype bytes; // as appended: the text may be moved out before it leaves
    };

    std::deque<Entry> m_entries;
    qsizetype m_bytes = 0;
    qsizetype m_maxDocuments;
    qsizetype m_maxBytes;
    bool m_overflowing = false;
};
