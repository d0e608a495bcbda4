#include "CaptionDocumentReader.h"

#include "AnsiCodePage.h"
#include "CaptionDocumentFormat.h"
#include "IntegerPrefix.h"
#include "StoredForm.h"
#include "XmlDocument.h"

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

void setDefaults(TCaptions& caption, QString& overallBrightness) {
    caption.FontName = u"Arial"_s;
    caption.Size = u"Medium"_s;
    caption.Effect = {u"Instant"_s, QString(), u"Slow"_s};
    caption.Justification = u"Centre"_s;
    caption.Colour = u"Yellow"_s;
    caption.BackColour = u"Black"_s;
    caption.Brightness = u"Bright"_s;
    caption.Caption = {};
    overallBrightness = u"100"_s;
}

// The column an attribute name points at: three characters read from just after the prefix
// ("Stream3" names column 3, a bare "Stream" column 0). Columns outside 0..9 do not exist.
std::optional<int> columnIndex(const QString& attributeName, qsizetype prefixLength) {
    const qint32 index = IntegerPrefix(QStringView(attributeName).mid(prefixLength, 3));
    if (index < 0 || index >= CaptionColumnCount)
        return std::nullopt;
    return index;
}

void readCaptions(pugi::xml_node element, TCaptions& caption) {
    static const qsizetype StreamLength = qsizetype(std::strlen(Format::StreamPrefix));
    static const qsizetype StrNameLength = qsizetype(std::strlen(Format::StrNamePrefix));
    for (const pugi::xml_attribute attribute : element.attributes()) {
        const char* rawName = attribute.name();
        const bool isStream = std::strstr(rawName, Format::StreamPrefix) != nullptr;
        if (!isStream && std::strstr(rawName, Format::StrNamePrefix) == nullptr)
            continue;
        const QString name = QString::fromUtf8(rawName);
        const std::optional<int> column = columnIndex(name, isStream ? StreamLength : StrNameLength);
        if (!column)
            continue;
        const QString value = StoredStringToMemoString(attributeText(attribute));
        if (isStream)
            caption.Caption[*column].Text = value;
        else
            caption.Caption[*column].Language = AnsiCodePage::roundTrip(value);
    }
}

void readFont(pugi::xml_node element, TCaptions& caption) {
    for (const pugi::xml_attribute attribute : element.attributes()) {
        if (named(attribute, Format::FontColourAttribute))
            caption.Colour = attributeText(attribute);
        else if (named(attribute, Format::FontBackColourAttribute))
            caption.BackColour = attributeText(attribute);
        else if (named(attribute, Format::FontSizeAttribute))
            caption.Size = attributeText(attribute);
        else if (named(attribute, Format::FontNameAttribute))
            caption.FontName = attributeText(attribute);
    }
}

void readEffects(pugi::xml_node element, TCaptions& caption, QString& overallBrightness) {
    for (const pugi::xml_attribute attribute : element.attributes()) {
        if (named(attribute, Format::InEffectAttribute))
            caption.Effect.InEffect = AnsiCodePage::roundTrip(attributeText(attribute));
        else if (named(attribute, Format::OutEffectAttribute))
            caption.Effect.OutEffect = AnsiCodePage::roundTrip(attributeText(attribute));
        else if (named(attribute, Format::SpeedAttribute))
            caption.Effect.Speed = AnsiCodePage::roundTrip(attributeText(attribute));
        else if (named(attribute, Format::JustificationAttribute))
            caption.Justification = attributeText(attribute);
        else if (named(attribute, Format::VerticalJustificationAttribute))
            caption.VertJust = attributeText(attribute);
        else if (named(attribute, Format::BrightnessAttribute))
            caption.Brightness = attributeText(attribute);
        else if (named(attribute, Format::OverallBrightnessAttribute))
            overallBrightness = attributeText(attribute);
    }
}

void readCaptionElement(pugi::xml_node captionElement, CaptionDocumentState& state, QString& languageName) {
    state.previous = state.current;
    TCaptions& caption = state.current;
    setDefaults(caption, state.overallBrightness);

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
        } else if (named(element, Format::FontElement)) {
            readFont(element, caption);
        } else if (named(element, Format::EffectsElement)) {
            readEffects(element, caption, state.overallBrightness);
        } else if (named(element, Format::CommentElement)) {
            for (const pugi::xml_attribute attribute : element.attributes()) {
                if (named(attribute, Format::CommentTextAttribute))
                    caption.Comment = attributeText(attribute);
            }
        }
    }

    caption.Act = attributeText(captionElement, Format::ActAttribute);
    caption.Scene = attributeText(captionElement, Format::SceneAttribute);
    caption.Cue = attributeText(captionElement, Format::CueAttribute);
}

} // namespace

QString PrepareCaptionDocumentText(QStringView text) {
    // Only the last line survives: everything up to the last CR LF that does not end the text.
    const QStringView body = text.endsWith(u"\r\n") ? text.chopped(2) : text;
    const qsizetype lastLineBreak = body.lastIndexOf(u"\r\n");
    QString prepared = (lastLineBreak < 0 ? text : text.sliced(lastLineBreak + 2)).toString();
    prepared.replace(QChar(ReplacedByBlank), u' ');
    return prepared;
}

std::optional<QString> ReadCaptionDocument(QStringView text, CaptionDocumentState& state) {
    XmlDocument document;
    if (document.load(PrepareCaptionDocumentText(text)) != XmlDocument::ParseStatus::Parsed)
        return std::nullopt;

    QString languageName;
    for (const pugi::xml_node captionElement : document.documentElement().children()) {
        if (captionElement.type() == pugi::node_element)
            readCaptionElement(captionElement, state, languageName);
    }
    return languageName;
}
