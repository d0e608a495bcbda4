#include "CaptionDocumentReader.h"

#include "AnsiCodePage.h"
#include "CaptionAttributes.h"
#include "CaptionDocumentFormat.h"
#include "IntegerPrefix.h"
#include "StoredForm.h"
#include "XmlDocument.h"

#include <algorithm>
#include <cstring>

using namespace Qt::Literals::StringLiterals;
namespace Format = CaptionDocumentFormat;

namespace {

constexpr char16_t ReplacedByBlank = 0x0019;

bool named(pugi::xml_node node, const char* name) {
    return std::strcmp(node.name(), name) == 0;
}

bool named(pugi::xml_attribute attribute, const char* name) {
    return std::strcmp(attribute.name(), name) == 0;
}

// The caption element's starting point: the default words, and what carries over from the caption
// before.
TCaptions defaultCaption(const TCaptions& previous) {
    TCaptions caption;
    for (const CaptionAttributes::Attribute& attribute : CaptionAttributes::Table) {
        QString& field = CaptionAttributes::fieldOf(caption, attribute);
        if (attribute.missing == CaptionAttributes::Missing::CarriedOver)
            field = CaptionAttributes::fieldOf(previous, attribute);
        else
            field = attribute.defaultWord.toString();
    }
    caption.LanguageIndex = previous.LanguageIndex;
    return caption;
}

// The column an attribute name points at: three characters read from just after the prefix
// ("Stream3" names column 3, a bare "Stream" column 0). Columns outside 0..9 do not exist.
std::optional<int> columnIndex(const char* name, const char* prefixInName, std::size_t prefixLength) {
    const char* digits = prefixInName + prefixLength;
    const bool ascii = std::all_of(name, digits, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    qint32 index = 0;
    if (ascii) {
        // Characters and bytes agree: read the three characters straight from the name.
        char16_t characters[3];
        qsizetype count = 0;
        for (; count < 3 && digits[count] != '\0'; ++count)
            characters[count] = static_cast<unsigned char>(digits[count]);
        index = IntegerPrefix(QStringView(characters, count));
    } else {
        const QString text = QString::fromUtf8(name);
        index = IntegerPrefix(QStringView(text).mid(QString::fromUtf8(name, digits - name).size(), 3));
    }
    if (index < 0 || index >= CaptionColumnCount)
        return std::nullopt;
    return index;
}

void readCaptions(pugi::xml_node element, TCaptions& caption) {
    static const std::size_t StreamLength = std::strlen(Format::StreamPrefix);
    static const std::size_t StrNameLength = std::strlen(Format::StrNamePrefix);
    for (const pugi::xml_attribute attribute : element.attributes()) {
        const char* name = attribute.name();
        const char* stream = std::strncmp(name, Format::StreamPrefix, StreamLength) == 0
                                 ? name
                                 : std::strstr(name, Format::StreamPrefix);
        const char* strName = stream ? nullptr : std::strstr(name, Format::StrNamePrefix);
        if (!stream && !strName)
            continue;
        const std::optional<int> column =
            stream ? columnIndex(name, stream, StreamLength) : columnIndex(name, strName, StrNameLength);
        if (!column)
            continue;
        const QString value = StoredStringToMemoString(attributeText(attribute));
        if (stream)
            caption.Caption[*column].Text = value;
        else
            caption.Caption[*column].Language = AnsiCodePage::roundTrip(value);
    }
}

// The attributes of a child element that the table places there; OverallBrightness, on the effects,
// belongs to the document's state rather than to the caption.
void readAttributes(pugi::xml_node element, CaptionAttributes::Element where, TCaptions& caption,
                    QString& overallBrightness) {
    for (const pugi::xml_attribute attribute : element.attributes()) {
        if (where == CaptionAttributes::Element::Effects && named(attribute, Format::OverallBrightnessAttribute)) {
            overallBrightness = attributeText(attribute);
            continue;
        }
        for (const CaptionAttributes::Attribute& row : CaptionAttributes::Table) {
            if (row.element == where && named(attribute, row.name)) {
                const QString text = attributeText(attribute);
                CaptionAttributes::fieldOf(caption, row) = row.eightBit ? AnsiCodePage::roundTrip(text) : text;
                break;
            }
        }
    }
}

void readCaptionElement(pugi::xml_node captionElement, CaptionDocumentState& state, QString& languageName) {
    state.previous = std::move(state.current);
    state.current = defaultCaption(state.previous);
    state.overallBrightness = u"100"_s;
    TCaptions& caption = state.current;

    for (const pugi::xml_node element : captionElement.children()) {
        if (element.type() != pugi::node_element)
            continue;
        if (named(element, Format::LanguageElement)) {
            for (const pugi::xml_attribute attribute : element.attributes()) {
                if (named(attribute, Format::LanguageNameAttribute))
                    languageName = attributeText(attribute);
            }
        } else if (named(element, Format::CaptionsElement)) {
            readCaptions(element, caption);
        } else {
            for (const CaptionAttributes::Element where : CaptionAttributes::ChildElements) {
                if (named(element, CaptionAttributes::elementName(where)))
                    readAttributes(element, where, caption, state.overallBrightness);
            }
        }
    }

    // The caption element's own attributes, each present or empty.
    for (const CaptionAttributes::Attribute& attribute : CaptionAttributes::Table) {
        if (attribute.element == CaptionAttributes::Element::Caption)
            CaptionAttributes::fieldOf(caption, attribute) = attributeText(captionElement, attribute.name);
    }
}

} // namespace

namespace {

// The last line of a text whose earlier lines end in CR LF, without a copy.
QStringView lastLine(QStringView text) {
    if (!text.contains(u'\r'))
        return text;
    const QStringView body = text.endsWith(u"\r\n") ? text.chopped(2) : text;
    const qsizetype lastLineBreak = body.lastIndexOf(u"\r\n");
    return lastLineBreak < 0 ? text : text.sliced(lastLineBreak + 2);
}

} // namespace

QString PrepareCaptionDocumentText(QStringView text) {
    QString prepared = lastLine(text).toString();
    prepared.replace(QChar(ReplacedByBlank), u' ');
    return prepared;
}

std::optional<QString> ReadCaptionDocument(QStringView text, CaptionDocumentState& state) {
    const QStringView line = lastLine(text);
    const bool blanksToReplace = line.contains(QChar(ReplacedByBlank));
    XmlDocument document;
    const XmlDocument::ParseStatus status =
        document.load(blanksToReplace ? QStringView(PrepareCaptionDocumentText(text)) : line);
    if (status != XmlDocument::ParseStatus::Parsed)
        return std::nullopt;

    QString languageName;
    for (const pugi::xml_node captionElement : document.documentElement().children()) {
        if (captionElement.type() == pugi::node_element)
            readCaptionElement(captionElement, state, languageName);
    }
    return languageName;
}

int ShownColumn(const TCaptions& caption, QStringView languageName) {
    int shown = 0;
    for (int column = 0; column < CaptionColumnCount; ++column) {
        if (caption.Caption[std::size_t(column)].Language == languageName)
            shown = column;
    }
    return shown;
}
