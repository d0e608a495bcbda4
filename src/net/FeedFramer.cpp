#include "FeedFramer.h"

#include "captions/CaptionDocumentFormat.h"

#include <QtEndian>
#include <cstring>

using CaptionDocumentFormat::EndTag;
using CaptionDocumentFormat::StartTag;

namespace {

enum class Tag { None, Start, End, Partial };

bool equalUnits(QStringView text, QStringView tag, qsizetype count) {
    return std::memcmp(text.utf16(), tag.utf16(), std::size_t(count) * sizeof(char16_t)) == 0;
}

// What stands at text[0] == '<': a whole tag, the beginning of one cut off by the end of the text,
// or something else.
Tag tagAt(QStringView text) {
    if (text.size() < 2)
        return Tag::Partial;
    const QStringView tag = text[1] == u'S' ? StartTag : text[1] == u'/' ? EndTag : QStringView();
    if (tag.isEmpty())
        return Tag::None;
    if (text.size() < tag.size())
        return equalUnits(text, tag, text.size()) ? Tag::Partial : Tag::None;
    if (!equalUnits(text, tag, tag.size()))
        return Tag::None;
    return tag.size() == StartTag.size() ? Tag::Start : Tag::End;
}

// The first '<' at or after from. The bytes are searched with memchr, the fastest scan there is;
// a hit is a '<' only where it makes up a whole code unit.
qsizetype findLessThan(QStringView text, qsizetype from) {
    const char* begin = reinterpret_cast<const char*>(text.utf16());
    const char* end = begin + text.size() * qsizetype(sizeof(char16_t));
    for (const char* p = begin + from * qsizetype(sizeof(char16_t)); p < end; ++p) {
        p = static_cast<const char*>(std::memchr(p, '<', std::size_t(end - p)));
        if (!p)
            break;
        const qsizetype unit = (p - begin) / qsizetype(sizeof(char16_t));
        if (text[unit] == u'<')
            return unit;
    }
    return -1;
}

// Where the open document begins: in the text being scanned, or in what earlier reads left held.
constexpr qsizetype NoDocument = -1;
constexpr qsizetype HeldDocument = -2;

} // namespace

FeedFramer::Result FeedFramer::receive(QByteArrayView bytes) {
    const QStringView incoming = unitsOf(bytes);

    // A read that ends inside a tag leaves its beginning held; the next read is then joined to it
    // so the tag is seen whole. Otherwise the read is scanned where it lies.
    const bool joined = m_scanFrom < m_held.size();
    QStringView text = incoming;
    qsizetype position = 0;
    qsizetype documentStart = m_inDocument ? HeldDocument : NoDocument;
    if (joined) {
        m_held.append(incoming);
        text = m_held;
        position = m_scanFrom;
        documentStart = m_inDocument ? 0 : NoDocument;
    }

    const bool startTagHeld = m_inDocument;
    const bool endTagHeld = m_endTagBeforeStart;
    bool startTagRead = false;
    bool endTagRead = false;
    bool framedThisRead = false;
    Result result;

    while (position < text.size()) {
        const qsizetype at = findLessThan(text, position);
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
            if (documentStart == NoDocument) {
                documentStart = at;
                m_endTagBeforeStart = false; // text before a document's start tag is dropped with it
            }
        } else if (tag == Tag::End) {
            endTagRead = true;
            position = at + EndTag.size();
            if (documentStart == HeldDocument) {
                m_held.append(text.first(position));
                result.documents.append(std::exchange(m_held, QString()));
                documentStart = NoDocument;
                framedThisRead = true;
            } else if (documentStart != NoDocument) {
                result.documents.append(text.sliced(documentStart, position - documentStart).toString());
                documentStart = NoDocument;
                framedThisRead = true;
            } else if (!framedThisRead) {
                // A stray end tag after a document of this read goes with the rest of that read;
                // before one, it stays until a start tag arrives.
                m_endTagBeforeStart = true;
            }
        }
    }
    result.sendOk = (startTagHeld || startTagRead) && (endTagHeld || endTagRead);

    // Keep the open document, or else only a tag's beginning cut off by the end of the read.
    if (documentStart == HeldDocument) {
        m_scanFrom = m_held.size() + position;
        m_held.append(text);
    } else if (documentStart != NoDocument) {
        m_scanFrom = position - documentStart;
        if (joined)
            m_held.remove(0, documentStart);
        else
            m_held = text.sliced(documentStart).toString();
    } else {
        m_scanFrom = 0;
        if (joined)
            m_held.remove(0, position);
        else
            m_held = text.sliced(position).toString();
    }
    m_inDocument = documentStart != NoDocument;

    if (m_inDocument && m_held.size() > MaxDocumentUnits) {
        m_held = m_held.sliced(m_scanFrom);
        m_scanFrom = 0;
        m_inDocument = false;
        result.droppedLongDocument = true;
    }
    return result;
}

void FeedFramer::clear() {
    m_held = QString();
    m_scanFrom = 0;
    m_inDocument = false;
    m_endTagBeforeStart = false;
    m_pendingByte.reset();
}

void FeedFramer::dropHeldText() {
    const std::optional<char> pendingByte = m_pendingByte;
    clear();
    m_pendingByte = pendingByte;
}

QStringView FeedFramer::unitsOf(QByteArrayView bytes) {
    const char* data = bytes.data();
    qsizetype count = bytes.size();
    if (count == 0)
        return {};

    const bool readInPlace = QSysInfo::ByteOrder == QSysInfo::LittleEndian && !m_pendingByte &&
                             reinterpret_cast<quintptr>(data) % alignof(char16_t) == 0;
    if (readInPlace) {
        if (count % 2 != 0)
            m_pendingByte = data[count - 1];
        return QStringView(reinterpret_cast<const char16_t*>(data), count / 2);
    }

    m_converted.resize(0);
    if (m_pendingByte) {
        const auto low = static_cast<unsigned char>(*m_pendingByte);
        const auto high = static_cast<unsigned char>(data[0]);
        m_converted.append(QChar(char16_t(low | (high << 8))));
        m_pendingByte.reset();
        ++data;
        --count;
    }
    if (count % 2 != 0)
        m_pendingByte = data[count - 1];
    const qsizetype start = m_converted.size();
    m_converted.resize(start + count / 2);
    qFromLittleEndian<char16_t>(data, count / 2, m_converted.data() + start);
    return m_converted;
}
