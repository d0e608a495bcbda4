#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>

// Cuts caption documents out of what one caption feed connection sends: UTF-16LE text in which each
// document runs from "<Surtitles>" to "</Surtitles>". One framer serves one connection, so text
// from two controllers never mixes. Text outside documents is dropped; a document longer than
// MaxDocumentUnits is dropped whole; a read with an odd byte count keeps its last byte for the next
// read. Each byte is looked at once, whatever the reads' sizes.
class FeedFramer {
public:
    // 128 MiB of text: room for a 4K 24-bit picture (33 million Base64 characters) and more.
    static constexpr qsizetype MaxDocumentUnits = 64 * 1024 * 1024;

    struct Result {
        QStringList documents; // complete documents, in the order they arrived
        bool sendOk = false;   // both tags have been seen: acknowledge the read with "OK"
    };

    Result receive(QByteArrayView bytes);

    // Forgets everything received: a connection opening or closing empties every feed buffer.
    void clear();

    // Code units held for documents not yet complete.
    qsizetype bufferedUnits() const { return m_buffer.size(); }

private:
    void appendUnits(QByteArrayView bytes);
    void keepFrom(qsizetype position);

    // Starts with "<Surtitles>" while m_inDocument; otherwise holds at most a tag's beginning.
    QString m_buffer;
    qsizetype m_scanFrom = 0; // tags beginning before this position have been dealt with
    bool m_inDocument = false;
    bool m_endTagBeforeStart = false; // an end tag arrived with no document open: it counts for "OK"
    std::optional<char> m_pendingByte;
};
