#pragma once

#include "captions/EmbeddedFile.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

// Cuts caption documents out of what one caption feed connection sends: UTF-16LE text in which each
// document runs from "<Surtitles>" to "</Surtitles>". One framer serves one connection, so text
// from two controllers never mixes. Text outside documents is dropped as it arrives; a document
// longer than MaxDocumentUnits is dropped whole; a read with an odd byte count keeps its last byte
// for the next read. Each read is scanned once, in place, and only document text is copied.
class FeedFramer {
public:
    // 128 MiB of text: room for a 4K 24-bit picture (33 million Base64 characters) and more.
    static constexpr qsizetype MaxDocumentUnits = 64 * 1024 * 1024;
    // A document the display writes for a caption naming the largest picture it embeds fits.
    static_assert((MaxEmbeddedFileSize + 2) / 3 * 4 + 1024 * 1024 < MaxDocumentUnits);

    struct Result {
        QStringList documents;            // complete documents, in the order they arrived
        bool sendOk = false;              // both tags have been seen: acknowledge the read with "OK"
        bool droppedLongDocument = false; // a document grew past MaxDocumentUnits and was given up
    };

    Result receive(QByteArrayView bytes);

    // Forgets everything received so far.
    void clear();
    // Gives up the unfinished document (or cut-off tag) but keeps an odd byte still waiting for its
    // pair, so that what the connection sends next stays aligned.
    void dropHeldText();

    // Code units held for a document not yet complete, or for a tag cut off by the end of a read.
    qsizetype bufferedUnits() const { return m_held.size(); }

private:
    struct Scan;

    QStringView unitsOf(QByteArrayView bytes);
    // The steps of receive(): the read's text, joined to a held tag's beginning where one was cut
    // off; each tag in it; what is left open kept for the next read.
    Scan beginScan(QStringView incoming);
    void scanTags(Scan& scan, Result& result);
    void startTagAt(Scan& scan, qsizetype at);
    void endTagAt(Scan& scan, qsizetype at, Result& result);
    void keepUnfinished(const Scan& scan);
    // The open document has grown past MaxDocumentUnits: it is given up, keeping only the beginning
    // of a tag that the read cut off.
    void dropOverlongDocument(Result& result);

    // The open document's text so far, starting with its start tag; or, with no document open, the
    // beginning of a tag that the last read cut off.
    QString m_held;
    qsizetype m_scanFrom = 0; // tags beginning before this position in m_held have been dealt with
    bool m_inDocument = false;
    bool m_endTagBeforeStart = false; // an end tag arrived with no document open: it counts for "OK"
    std::optional<char> m_pendingByte;
    QString m_converted; // a read's code units, when they cannot be read where they lie
};
