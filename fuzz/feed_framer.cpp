// The caption feed framer fed arbitrary bytes in arbitrary reads. The input gives both the bytes and
// where the reads split them; every document framed must be a whole document of the stream sent.
#include "FuzzSupport.h"
#include "captions/CaptionDocumentFormat.h"
#include "net/FeedFramer.h"

#include <QByteArray>
#include <QtEndian>
#include <fuzzer/FuzzedDataProvider.h>

using CaptionDocumentFormat::EndTag;
using CaptionDocumentFormat::StartTag;
using FuzzSupport::require;

namespace {

// What the connection has sent since it was last emptied, as UTF-16LE code units: the text every
// document must be cut from, in order.
class SentText {
public:
    void append(const QByteArray& bytes) {
        m_bytes.append(bytes);
        const qsizetype decoded = m_text.size();
        m_text.resize(m_bytes.size() / 2);
        qFromLittleEndian<char16_t>(m_bytes.constData() + 2 * decoded, m_text.size() - decoded,
                                    m_text.data() + decoded);
    }

    void clear() {
        m_bytes.clear();
        m_text.clear();
        m_framedTo = 0;
    }

    // A document must lie in the text after the one framed before it.
    void checkFramed(const QString& document) {
        const qsizetype at = m_text.indexOf(document, m_framedTo);
        require(at >= 0, "a framed document is text the connection sent, after the document before it");
        m_framedTo = at + document.size();
    }

    // Nothing framed is held again, and a held document never grows past the cap.
    void checkHeld(qsizetype held) const {
        require(held <= m_text.size() - m_framedTo, "only text after the last framed document is held");
        require(held <= FeedFramer::MaxDocumentUnits, "a held document stays within the cap");
    }

private:
    QByteArray m_bytes;
    QString m_text;
    qsizetype m_framedTo = 0;
};

void checkDocument(const QString& document) {
    require(document.startsWith(StartTag), "a document begins with its start tag");
    require(document.endsWith(EndTag), "a document ends with its end tag");
    require(document.indexOf(EndTag) == document.size() - EndTag.size(), "a document holds one end tag, its last");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    FeedFramer framer;
    SentText sent;
    QByteArray buffer;
    while (input.remaining_bytes() > 0) {
        const int action = input.ConsumeIntegralInRange(0, 15);
        if (action == 0) {
            // A connection opening or closing.
            framer.clear();
            sent.clear();
            continue;
        }
        // Reads come at any address a socket buffer may give: an odd offset makes the framer copy.
        const bool misaligned = action == 1;
        const auto length = input.ConsumeIntegralInRange<std::size_t>(0, 256);
        const std::string bytes = input.ConsumeBytesAsString(length);
        buffer.resize(qsizetype(bytes.size()) + 1);
        char* const read = buffer.data() + (misaligned ? 1 : 0);
        std::copy(bytes.begin(), bytes.end(), read);
        const FeedFramer::Result result = framer.receive(QByteArrayView(read, qsizetype(bytes.size())));
        sent.append(QByteArray::fromStdString(bytes));

        for (const QString& document : result.documents) {
            checkDocument(document);
            sent.checkFramed(document);
        }
        require(result.documents.isEmpty() || result.sendOk, "a read that completes a document is acknowledged");
        sent.checkHeld(framer.bufferedUnits());
    }
    return 0;
}
