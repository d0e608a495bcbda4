#include "FeedFramer.h"

#include "captions/CaptionDocumentFormat.h"

#include <QtEndian>
#include <algorithm>

namespace {

using CaptionDocumentFormat::EndTag;
using CaptionDocumentFormat::StartTag;

enum class Tag { None, Start, End, Partial };

// What stands at text[0] == '<': a whole tag, the beginning of one cut off by the end of the text,
// or something else.
Tag tagAt(QStringView text) {
    if (text.startsWith(StartTag))
        return Tag::Start;
    if (text.startsWith(EndTag))
        return Tag::End;
    if (text.size() < EndTag.size() && (StartTag.startsWith(text) || EndTag.startsWith(text)))
        return Tag::Partial;
    return Tag::None;
}

} // namespace

FeedFramer::Result FeedFramer::receive(QByteArrayView bytes) {
    appendUnits(bytes);

    const bool startTagHeld = m_inDocument;
    const bool endTagHeld = m_endTagBeforeStart;
    bool startTagRead = false;
    bool endTagRead = false;
    bool framedThisRead = false;

    Result result;
    const QStringView text = m_buffer;
    qsizetype documentStart = m_inDocument ? 0 : -1;
    qsizetype position = m_scanFrom;
    while (position < text.size()) {
        const qsizetype at = text.indexOf(u'<', position);
        if (at < 0) {
            position = text.size();
            break;
        }
        const Tag tag = tagAt(text.sliced(at));
        if (tag == Tag::Partial) {
            position = at;
            break;
        }
        position = at + 1;
        if (tag == Tag::Start) {
            startTagRead = true;
            position = at + StartTag.size();
            if (documentStart < 0) {
                documentStart = at;
                m_endTagBeforeStart = false; // text before a document's start tag is dropped with it
            }
        } else if (tag == Tag::End) {
            endTagRead = true;
            position = at + EndTag.size();
            if (documentStart >= 0) {
                result.documents.append(text.sliced(documentStart, position - documentStart).toString());
                documentStart = -1;
                framedThisRead = true;
            } else if (!framedThisRead) {
                // A stray end tag after a document of this read goes with the rest of that read;
                // before one, it stays until a start tag arrives.
                m_endTagBeforeStart = true;
            }
        }
    }
    result.sendOk = (startTagHeld || startTagRead) && (endTagHeld || endTagRead);

    m_inDocument = documentStart >= 0;
    if (m_inDocument && m_buffer.size() - documentStart <= MaxDocumentUnits) {
        keepFrom(documentStart);
        m_scanFrom = position - documentStart;
    } else {
        m_inDocument = false;
        keepFrom(position);
        m_scanFrom = 0;
    }
    return result;
}

void FeedFramer::clear() {
    m_buffer = QString();
    m_scanFrom = 0;
    m_inDocument = false;
    m_endTagBeforeStart = false;
    m_pendingByte.reset();
}

void FeedFramer::appendUnits(QByteArrayView bytes) {
    const char* data = bytes.data();
    qsizetype count = bytes.size();
    if (count == 0)
        return;
    if (m_pendingByte) {
        const auto low = static_cast<unsigned char>(*m_pendingByte);
        const auto high = static_cast<unsigned char>(data[0]);
        m_buffer.append(QChar(char16_t(low | (high << 8))));
        m_pendingByte.reset();
        ++data;
        --count;
    }
    const qsizetype units = count / 2;
    if (count % 2 != 0)
        m_pendingByte = data[count - 1];

    const qsizetype oldSize = m_buffer.size();
    if (m_buffer.capacity() < oldSize + units)
        m_buffer.reserve(std::max(oldSize + units, 2 * m_buffer.capacity()));
    m_buffer.resize(oldSize + units);
    qFromLittleEndian<char16_t>(data, units, m_buffer.data() + oldSize);
}

void FeedFramer::keepFrom(qsizetype position) {
    if (position >= m_buffer.size())
        m_buffer.truncate(0);
    else if (position > 0)
        m_buffer.remove(0, position);
}
