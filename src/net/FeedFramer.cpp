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

} // namespace

// One read being scanned: its text (joined to what was held when the last read cut a tag off),
// where the scan stands, and where the open document begins.
struct FeedFramer::Scan {
    enum class Document {
        None,
        EarlierRead, // begun in an earlier read and held: the scanned text continues it
        InText,      // begins at documentStart in the scanned text
    };

    QStringView text;
    bool joined = false;
    qsizetype position = 0;
    Document document = Document::None;
    qsizetype documentStart = 0;
    bool startTagRead = false;
    bool endTagRead = false;
    bool framed = false; // a document was completed in this read
};

FeedFramer::Result FeedFramer::receive(QByteArrayView bytes) {
    const bool startTagHeld = m_inDocument;
    const bool endTagHeld = m_endTagBeforeStart;
    Scan scan = beginScan(unitsOf(bytes));
    Result result;
    scanTags(scan, result);
    result.sendOk = (startTagHeld || scan.startTagRead) && (endTagHeld || scan.endTagRead);
    keepUnfinished(scan);
    if (m_inDocument && m_held.size() > MaxDocumentUnits)
        dropOverlongDocument(result);
    return result;
}

FeedFramer::Scan FeedFramer::beginScan(QStringView incoming) {
    Scan scan;
    // A read that ends inside a tag leaves its beginning held; the next read is then joined to it
    // so the tag is seen whole. Otherwise the read is scanned where it lies.
    scan.joined = m_scanFrom < m_held.size();
    if (scan.joined) {
        m_held.append(incoming);
        scan.text = m_held;
        scan.position = m_scanFrom;
        if (m_inDocument)
            scan.document = Scan::Document::InText; // the held document starts the joined text
    } else {
        scan.text = incoming;
        if (m_inDocument)
            scan.document = Scan::Document::EarlierRead;
    }
    return scan;
}

void FeedFramer::scanTags(Scan& scan, Result& result) {
    const QStringView text = scan.text;
    while (scan.position < text.size()) {
        const qsizetype at = findLessThan(text, scan.position);
        if (at < 0) {
            scan.position = text.size();
            return;
        }
        const Tag tag = tagAt(text.sliced(at));
        if (tag == Tag::Partial) {
            scan.position = at;
            return;
        }
        scan.position = at + 1;
        if (tag == Tag::Start)
            startTagAt(scan, at);
        else if (tag == Tag::End)
            endTagAt(scan, at, result);
    }
}

void FeedFramer::startTagAt(Scan& scan, qsizetype at) {
    scan.startTagRead = true;
    scan.position = at + StartTag.size();
    if (scan.document == Scan::Document::None) {
        scan.document = Scan::Document::InText;
        scan.documentStart = at;
        m_endTagBeforeStart = false; // text before a document's start tag is dropped with it
    }
}

void FeedFramer::endTagAt(Scan& scan, qsizetype at, Result& result) {
    scan.endTagRead = true;
    scan.position = at + EndTag.size();
    switch (scan.document) {
    case Scan::Document::EarlierRead:
        m_held.append(scan.text.first(scan.position));
        result.documents.append(std::exchange(m_held, QString()));
        break;
    case Scan::Document::InText:
        result.documents.append(scan.text.sliced(scan.documentStart, scan.position - scan.documentStart).toString());
        break;
    case Scan::Document::None:
        // A stray end tag after a document of this read goes with the rest of that read; before
        // one, it stays until a start tag arrives.
        if (!scan.framed)
            m_endTagBeforeStart = true;
        return;
    }
    scan.document = Scan::Document::None;
    scan.framed = true;
}

void FeedFramer::keepUnfinished(const Scan& scan) {
    // Keep the open document, or else only a tag's beginning cut off by the end of the read.
    switch (scan.document) {
    case Scan::Document::EarlierRead:
        m_scanFrom = m_held.size() + scan.position;
        m_held.append(scan.text);
        break;
    case Scan::Document::InText:
        m_scanFrom = scan.position - scan.documentStart;
        if (scan.joined)
            m_held.remove(0, scan.documentStart);
        else
            m_held = scan.text.sliced(scan.documentStart).toString();
        break;
    case Scan::Document::None:
        m_scanFrom = 0;
        if (scan.joined)
            m_held.remove(0, scan.position);
        else
            m_held = scan.text.sliced(scan.position).toString();
        break;
    }
    m_inDocument = scan.document != Scan::Document::None;
}

void FeedFramer::dropOverlongDocument(Result& result) {
    m_held = m_held.sliced(m_scanFrom);
    m_scanFrom = 0;
    m_inDocument = false;
    result.droppedLongDocument = true;
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
