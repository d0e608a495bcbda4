#include "XmlDocument.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// XML 1.0 characters, as UTF-16 code units: no controls but TAB, LF, CR; no U+FFFE, U+FFFF; no
// unpaired surrogates.
bool hasOnlyXmlCharacters(QStringView text) {
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = text[i].unicode();
        if (u >= 0x20 && u < 0xD800)
            continue;
        if (u < 0x20) {
            if (u != 0x09 && u != 0x0A && u != 0x0D)
                return false;
        } else if (u >= 0xD800 && u <= 0xDBFF) {
            if (i + 1 >= n || !QChar::isLowSurrogate(text[i + 1].unicode()))
                return false;
            ++i;
        } else if (u <= 0xDFFF || u == 0xFFFE || u == 0xFFFF) {
            return false;
        }
    }
    return true;
}

bool isXmlCharacter(quint32 c) {
    return c == 0x09 || c == 0x0A || c == 0x0D || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

void appendUtf8(std::string& out, quint32 c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// Reads the reference that starts at text[0] == '&'; returns its length and the character it
// stands for, or 0 when it is no legal reference.
std::size_t readReference(const char* text, quint32& character) {
    static constexpr struct {
        const char* name;
        char character;
    } Predefined[] = {{"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&apos;", '\''}, {"&quot;", '"'}};
    for (const auto& entity : Predefined) {
        const std::size_t length = std::strlen(entity.name);
        if (std::strncmp(text, entity.name, length) == 0) {
            character = quint32(entity.character);
            return length;
        }
    }
    if (text[1] != '#')
        return 0;

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

// Checks that every "&" starts a legal reference and no "<" stands in the text; with Resolve,
// writes the resolved text to out. pugixml reads the references leniently, so it is left to us.
bool checkReferences(const char* text, References mode, std::string& out) {
    for (const char* p = text; *p; ++p) {
        if (*p == '<')
            return false;
        if (*p != '&') {
            if (mode == References::Resolve)
                out += *p;
            continue;
        }
        quint32 character = 0;
        const std::size_t length = readReference(p, character);
        if (length == 0)
            return false;
        if (mode == References::Resolve)
            appendUtf8(out, character);
        p += length - 1;
    }
    return true;
}

bool hasUniqueAttributeNames(pugi::xml_node element) {
    std::vector<const char*> names;
    for (const pugi::xml_attribute attribute : element.attributes())
        names.push_back(attribute.name());
    if (names.size() < 2)
        return true;
    std::sort(names.begin(), names.end(), [](const char* a, const char* b) { return std::strcmp(a, b) < 0; });
    return std::adjacent_find(names.begin(), names.end(),
                              [](const char* a, const char* b) { return std::strcmp(a, b) == 0; }) == names.end();
}

bool checkAndResolveElement(pugi::xml_node element) {
    if (!hasUniqueAttributeNames(element))
        return false;
    std::string resolved;
    for (pugi::xml_attribute attribute : element.attributes()) {
        const char* value = attribute.value();
        if (!std::strpbrk(value, "&<"))
            continue;
        resolved.clear();
        if (!checkReferences(value, References::Resolve, resolved))
            return false;
        attribute.set_value(resolved.c_str());
    }
    return true;
}

// Walks the whole tree without recursion, so the depth of a document costs no stack.
bool checkAndResolveTree(pugi::xml_node root) {
    std::string unused;
    pugi::xml_node node = root;
    while (node) {
        if (node.type() == pugi::node_element && !checkAndResolveElement(node))
            return false;
        if (node.type() == pugi::node_pcdata && !checkReferences(node.value(), References::Check, unused))
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
