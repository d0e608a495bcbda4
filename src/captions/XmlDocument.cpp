#include "XmlDocument.h"

#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <cstring>
#include <string>
#include <vector>

namespace {

// XML 1.0 characters, as UTF-16 code units: no controls but TAB, LF, CR; no U+FFFE, U+FFFF; no
// unpaired surrogates.
bool isCommonCharacter(char16_t u) {
    return char16_t(u - 0x20) < char16_t(0xD800 - 0x20); // no control, no surrogate
}

// Whether the eight units at units are all common characters.
bool areCommonCharacters8(const char16_t* units) {
#if defined(__SSE2__)
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units));
    const __m128i shifted = _mm_sub_epi16(v, _mm_set1_epi16(0x20));
    // Unsigned shifted <= 0xD7DF, through a saturating subtraction that leaves 0 exactly then.
    const __m128i excess = _mm_subs_epu16(shifted, _mm_set1_epi16(short(0xD7DF)));
    return _mm_movemask_epi8(_mm_cmpeq_epi16(excess, _mm_setzero_si128())) == 0xFFFF;
#else
    bool all = true;
    for (int k = 0; k < 8; ++k)
        all &= isCommonCharacter(units[k]);
    return all;
#endif
}

bool hasOnlyXmlCharacters(QStringView text) {
    const char16_t* units = text.utf16();
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        if (i + 8 <= n && areCommonCharacters8(units + i)) {
            i += 8;
            continue;
        }
        // Eight units with something other than a common character among them, checked one by one.
        const qsizetype blockEnd = std::min(n, i + 8);
        for (; i < blockEnd; ++i) {
            const char16_t u = units[i];
            if (isCommonCharacter(u))
                continue;
            if (u < 0x20) {
                if (u != 0x09 && u != 0x0A && u != 0x0D)
                    return false;
            } else if (u <= 0xDBFF) {
                if (i + 1 >= n || !QChar::isLowSurrogate(units[i + 1]))
                    return false;
                ++i; // the pair may run past the block
            } else if (u <= 0xDFFF || u == 0xFFFE || u == 0xFFFF) {
                return false;
            }
        }
    }
    return true;
}

bool isXmlCharacter(quint32 c) {
    return c == 0x09 || c == 0x0A || c == 0x0D || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// Writes c as UTF-8 at out and returns the end of what was written.
char* writeUtf8(char* out, quint32 c) {
    if (c < 0x80) {
        *out++ = char(c);
    } else if (c < 0x800) {
        *out++ = char(0xC0 | (c >> 6));
        *out++ = char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out++ = char(0xE0 | (c >> 12));
        *out++ = char(0x80 | ((c >> 6) & 0x3F));
        *out++ = char(0x80 | (c & 0x3F));
    } else {
        *out++ = char(0xF0 | (c >> 18));
        *out++ = char(0x80 | ((c >> 12) & 0x3F));
        *out++ = char(0x80 | ((c >> 6) & 0x3F));
        *out++ = char(0x80 | (c & 0x3F));
    }
    return out;
}

// Reads the reference that starts at text[0] == '&'; returns its length and the character it
// stands for, or 0 when it is no legal reference.
std::size_t readReference(const char* text, quint32& character) {
    static constexpr struct {
        const char* name;
        std::size_t length;
        char character;
    } Predefined[] = {{"&lt;", 4, '<'}, {"&gt;", 4, '>'}, {"&amp;", 5, '&'}, {"&apos;", 6, '\''}, {"&quot;", 6, '"'}};
    if (text[1] != '#') {
        for (const auto& entity : Predefined) {
            if (text[1] == entity.name[1] && std::strncmp(text, entity.name, entity.length) == 0) {
                character = quint32(entity.character);
                return entity.length;
            }
        }
        return 0;
    }
    const bool hexadecimal = text[2] == 'x';
    std::size_t i = hexadecimal ? 3 : 2;
    const std::size_t firstDigit = i;
    quint32 value = 0;
    for (;; ++i) {
        const char c = text[i];
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hexadecimal && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hexadecimal && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            break;
        value = value * (hexadecimal ? 16 : 10) + quint32(digit);
        if (value > 0x10FFFF)
            return 0;
    }
    if (i == firstDigit || text[i] != ';' || !isXmlCharacter(value))
        return 0;
    character = value;
    return i + 1;
}

enum class References { Check, Resolve };

// Checks that every "&" in text starts a legal reference and no "<" stands in it; with Resolve,
// replaces each reference by its character where it stands. pugixml reads references leniently,
// so they are left to us. A reference is never shorter than the UTF-8 of its character, so the
// text only shrinks.
bool checkReferences(char* text, References mode) {
    char* out = text;
    for (const char* p = text;;) {
        const std::size_t plain = std::strcspn(p, "&<");
        if (mode == References::Resolve && out != p)
            std::memmove(out, p, plain);
        out += plain;
        p += plain;
        if (*p == '\0') {
            if (mode == References::Resolve)
                *out = '\0';
            return true;
        }
        if (*p == '<')
            return false;
        quint32 character = 0;
        const std::size_t length = readReference(p, character);
        if (length == 0)
            return false;
        if (mode == References::Resolve)
            out = writeUtf8(out, character);
        else
            out += length;
        p += length;
    }
}

bool hasUniqueAttributeNames(pugi::xml_node element) {
    // Names are told apart by a cheap key first, so names compare as text only when their keys meet;
    // the pairs are few for the handful of attributes elements carry, and a long list is sorted
    // instead, so the check stays cheap whatever a document holds.
    struct Name {
        const char* text;
        std::size_t key;
    };
    constexpr std::size_t PairwiseLimit = 32;
    Name few[PairwiseLimit];
    std::size_t count = 0;
    for (const pugi::xml_attribute attribute : element.attributes()) {
        if (count == PairwiseLimit)
            break;
        // Length and last characters: enough to tell "Stream0" from "StrName0" and "Stream1".
        const char* text = attribute.name();
        const std::size_t length = std::strlen(text);
        const std::size_t tail =
            length >= 2 ? std::size_t(quint8(text[length - 2])) << 8 | quint8(text[length - 1]) : 0;
        few[count++] = {text, length << 16 | tail};
    }
    if (count < PairwiseLimit) {
        for (std::size_t i = 1; i < count; ++i) {
            for (std::size_t j = 0; j < i; ++j) {
                if (few[i].key == few[j].key && std::strcmp(few[i].text, few[j].text) == 0)
                    return false;
            }
        }
        return true;
    }

    std::vector<const char*> names;
    for (const pugi::xml_attribute attribute : element.attributes())
        names.push_back(attribute.name());
    const auto less = [](const char* a, const char* b) { return std::strcmp(a, b) < 0; };
    const auto equal = [](const char* a, const char* b) { return std::strcmp(a, b) == 0; };
    std::sort(names.begin(), names.end(), less);
    return std::adjacent_find(names.begin(), names.end(), equal) == names.end();
}

// Every value lies in the parsed text, which the document owns, so references are resolved there.
char* writableValue(pugi::xml_attribute attribute) {
    return const_cast<char*>(attribute.value());
}

bool checkAndResolveElement(pugi::xml_node element) {
    if (!hasUniqueAttributeNames(element))
        return false;
    for (const pugi::xml_attribute attribute : element.attributes()) {
        if (std::strpbrk(attribute.value(), "&<") && !checkReferences(writableValue(attribute), References::Resolve))
            return false;
    }
    return true;
}

// Walks the whole tree without recursion, so the depth of a document costs no stack.
bool checkAndResolveTree(pugi::xml_node root) {
    pugi::xml_node node = root;
    while (node) {
        if (node.type() == pugi::node_element && !checkAndResolveElement(node))
            return false;
        if (node.type() == pugi::node_pcdata && !checkReferences(const_cast<char*>(node.value()), References::Check))
            return false;

        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node && node != root && !node.next_sibling())
            node = node.parent();
        if (!node || node == root)
            break;
        node = node.next_sibling();
    }
    return true;
}

bool hasOneDocumentElement(const pugi::xml_document& document) {
    int elements = 0;
    for (const pugi::xml_node child : document.children()) {
        if (child.type() == pugi::node_element)
            ++elements;
        else if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            return false;
    }
    return elements == 1;
}

class QByteArrayWriter : public pugi::xml_writer {
public:
    void write(const void* data, size_t size) override {
        bytes.append(static_cast<const char*>(data), qsizetype(size));
    }
    QByteArray bytes;
};

} // namespace

XmlDocument::ParseStatus XmlDocument::load(QStringView text) {
    clear();
    if (!hasOnlyXmlCharacters(text))
        return ParseStatus::NotWellFormed;

    m_source = text.toUtf8();
    // References are resolved by checkAndResolveTree, which also rejects the ones pugixml would pass.
    // As a fragment, text beside the root element is kept, so hasOneDocumentElement can see it.
    constexpr unsigned options = (pugi::parse_default | pugi::parse_fragment) & ~pugi::parse_escapes;
    const pugi::xml_parse_result result =
        m_document.load_buffer_inplace(m_source.data(), std::size_t(m_source.size()), options, pugi::encoding_utf8);
    if (!result || !hasOneDocumentElement(m_document) || !checkAndResolveTree(m_document.document_element())) {
        clear();
        return ParseStatus::NotWellFormed;
    }
    return ParseStatus::Parsed;
}

pugi::xml_node XmlDocument::documentElement() const {
    return m_document.document_element();
}

pugi::xml_node XmlDocument::createDocumentElement(const char* name) {
    clear();
    return m_document.append_child(name);
}

QString XmlDocument::text() const {
    QByteArrayWriter writer;
    m_document.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return QString::fromUtf8(writer.bytes);
}

void XmlDocument::clear() {
    m_document.reset();
    m_source.clear();
}

QString attributeText(pugi::xml_attribute attribute) {
    return QString::fromUtf8(attribute.value());
}

QString attributeText(pugi::xml_node element, const char* name) {
    return attributeText(element.attribute(name));
}

void setAttributeText(pugi::xml_node element, const char* name, QStringView value) {
    pugi::xml_attribute attribute = element.attribute(name);
    if (!attribute)
        attribute = element.append_attribute(name);
    attribute.set_value(value.toUtf8().constData());
}

pugi::xml_node findOrAppendChild(pugi::xml_node parent, const char* name) {
    pugi::xml_node child = parent.child(name);
    return child ? child : parent.append_child(name);
}
