#include "HtmlTags.h"

#include "captions/IntegerPrefix.h"

#include <QString>
#include <algorithm>
#include <array>
#include <limits>

namespace {

enum class TagKind {
    Unknown,
    Bold,
    Italic,
    Underline,
    Strikeout,
    Subscript,
    Superscript,
    Break,
    Paragraph,
    Font,
    Hidden,
};

char16_t asciiUpper(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') ? char16_t(u - u'a' + u'A') : u;
}

char16_t letterAt(QStringView text, qsizetype i) {
    return i < text.size() ? asciiUpper(text[i]) : u'\0';
}

bool isWord(QStringView text, QLatin1StringView word) {
    return text.compare(word, Qt::CaseInsensitive) == 0;
}

// Tags are told apart by their first letter, or by their first two where several tags share the
// first; the rest of the name does not matter, so "<BIG>" is bold and "<SMALL>" strikes out.
TagKind classifyTag(QStringView body, bool closing) {
    const char16_t second = letterAt(body, 1);
    switch (letterAt(body, 0)) {
    case u'B':
        if (second == u'R')
            return TagKind::Break;
        return (second == u'L' || second == u'O') ? TagKind::Unknown : TagKind::Bold;
    case u'I':
        // Image and indent open nothing, but any closing tag in I ends italics.
        return (!closing && (second == u'M' || second == u'N')) ? TagKind::Unknown : TagKind::Italic;
    case u'U':
        return body.size() == 1 ? TagKind::Underline : TagKind::Unknown; // anything more makes a list
    case u'S':
        if (second == u'T') // STRONG is told from STRIKE by its fourth letter
            return letterAt(body, 3) == u'O' ? TagKind::Bold : TagKind::Strikeout;
        if (second == u'U') {
            if (isWord(body, QLatin1StringView("SUB")))
                return TagKind::Subscript;
            return isWord(body, QLatin1StringView("SUP")) ? TagKind::Superscript : TagKind::Unknown;
        }
        return (second == u'H' || second == u'P') ? TagKind::Unknown : TagKind::Strikeout;
    case u'P':
        return TagKind::Paragraph;
    case u'F':
        return TagKind::Font;
    case u'Z':
        return TagKind::Hidden;
    default:
        return TagKind::Unknown;
    }
}

// The text of a tag after its name, searched for attribute names in upper case. The copy is
// upper-cased in ASCII only, so that a position in it is the same position in the original.
class TagAttributes {
public:
    struct Value {
        QStringView text;  // as written
        QStringView upper; // upper-cased
    };

    explicit TagAttributes(QStringView body) {
        qsizetype nameEnd = 0;
        while (nameEnd < body.size() && body[nameEnd] > u' ')
            ++nameEnd;
        m_text = body.sliced(nameEnd);
        m_upper.reserve(m_text.size());
        for (const QChar c : m_text)
            m_upper.append(QChar(asciiUpper(c)));
    }

    bool has(QLatin1StringView name) const { return m_upper.indexOf(name) >= 0; }

    // What stands between the first two double quotes after the name; unquoted values are not read.
    std::optional<Value> quoted(QLatin1StringView name) const {
        const qsizetype at = m_upper.indexOf(name);
        if (at < 0)
            return std::nullopt;
        const qsizetype open = m_upper.indexOf(u'"', at + name.size());
        const qsizetype close = open < 0 ? -1 : m_upper.indexOf(u'"', open + 1);
        if (close < 0)
            return std::nullopt;
        return Value{m_text.sliced(open + 1, close - open - 1),
                     QStringView(m_upper).sliced(open + 1, close - open - 1)};
    }

    // The number after the "=" that follows the name, quoted or not.
    qint32 numberAfterEquals(QLatin1StringView name) const {
        const qsizetype at = m_upper.indexOf(name);
        const qsizetype equals = at < 0 ? -1 : m_upper.indexOf(u'=', at + name.size());
        if (equals < 0)
            return 0;
        QStringView rest = m_text.sliced(equals + 1).trimmed();
        if (rest.startsWith(u'"'))
            rest = rest.sliced(1);
        return IntegerPrefix(rest);
    }

private:
    QStringView m_text;
    QString m_upper;
};

int saturatedPoints(qint64 points) {
    return int(std::clamp<qint64>(points, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// "RIGHT", "LEFT" and "CENTER" are looked for in that order and the last one found wins, so
// "LEFT RIGHT" aligns left; a value with none of them leaves the alignment as it was.
void applyParagraph(const TagAttributes& attributes, HtmlStyle& style) {
    const std::optional<TagAttributes::Value> align = attributes.quoted(QLatin1StringView("ALIGN"));
    if (!align)
        return;
    if (align->upper.contains(u"RIGHT"))
        style.alignment = HorizontalJustification::Right;
    if (align->upper.contains(u"LEFT"))
        style.alignment = HorizontalJustification::Left;
    if (align->upper.contains(u"CENTER"))
        style.alignment = HorizontalJustification::Centre;
}

// Only a size in points is understood: "font-size:20px" changes nothing, and a size that is not a
// plain number reads as 0.
void applyStyleSize(QStringView upperStyle, CanvasFont& font) {
    constexpr QStringView key = u"FONT-SIZE:";
    const qsizetype at = upperStyle.indexOf(key);
    if (at < 0)
        return;
    const qsizetype from = at + key.size();
    const qsizetype unit = upperStyle.indexOf(u"PT", from);
    if (unit < 0)
        return;
    font.pointSize = CompleteInteger(upperStyle.sliced(from, unit - from).trimmed()).value_or(0);
}

// SIZE 1 to 5 are steps above the base size, as the markup's small size scale has them; any other
// number is a pixel height at 96 per inch, which is the same number in points.
int sizeAttributePoints(qint32 size, const CanvasFont& base) {
    constexpr std::array<int, 5> Steps = {1, 2, 4, 6, 8};
    if (size >= 1 && size <= 5)
        return saturatedPoints(qint64(base.pointSize) + Steps[size - 1]);
    return size;
}

void applyFont(const TagAttributes& attributes, HtmlStyle& style, const CanvasFont& base) {
    if (const auto face = attributes.quoted(QLatin1StringView("FACE")))
        style.font.name = face->text.toString();
    // The space keeps BGCOLOR from being read as COLOR.
    if (const auto colour = attributes.quoted(QLatin1StringView(" COLOR"))) {
        style.colourBeforeLastColor = style.font.colour;
        style.font.colour = htmlColour(colour->text);
    }
    style.backgroundBeforeLastFont = style.background;
    if (const auto background = attributes.quoted(QLatin1StringView("BGCOLOR")))
        style.background = htmlColour(background->text);
    if (attributes.has(QLatin1StringView("STYLE"))) {
        if (const auto css = attributes.quoted(QLatin1StringView("STYLE")))
            applyStyleSize(css->upper, style.font);
    } else if (attributes.has(QLatin1StringView("SIZE"))) {
        style.font.pointSize = sizeAttributePoints(attributes.numberAfterEquals(QLatin1StringView("SIZE")), base);
    }
}

// FONT tags do not nest: the closing tag goes back to the base face and size and to the colours in
// force before the last FONT (for the text colour, before the last COLOR).
void restoreFont(HtmlStyle& style, const CanvasFont& base) {
    style.font.name = base.name;
    style.font.pointSize = base.pointSize;
    style.font.colour = style.colourBeforeLastColor;
    style.background = style.backgroundBeforeLastFont;
}

// The names markup may give a colour by: the sixteen plain colours and the system colours from
// clBackground to clInfoBk. The platform table knows a few more, which markup does not.
constexpr std::array<const char*, 40> MarkupColourNames = {
    "clRed",
    "clBlack",
    "clBlue",
    "clGreen",
    "clAqua",
    "clYellow",
    "clFuchsia",
    "clWhite",
    "clLime",
    "clSilver",
    "clGray",
    "clOlive",
    "clNavy",
    "clPurple",
    "clTeal",
    "clMaroon",
    "clBackground",
    "clActiveCaption",
    "clInactiveCaption",
    "clMenu",
    "clWindow",
    "clWindowFrame",
    "clMenuText",
    "clWindowText",
    "clCaptionText",
    "clActiveBorder",
    "clInactiveBorder",
    "clAppWorkSpace",
    "clHighlight",
    "clHighlightText",
    "clBtnFace",
    "clBtnShadow",
    "clGrayText",
    "clBtnText",
    "clInactiveCaptionText",
    "clBtnHighlight",
    "cl3DDkShadow",
    "cl3DLight",
    "clInfoText",
    "clInfoBk",
};

std::optional<ColourValue> namedColour(QStringView name) {
    for (const char* markupName : MarkupColourNames) {
        if (!isWord(name, QLatin1StringView(markupName)))
            continue;
        for (const NamedColour& entry : PlatformColourTable()) {
            if (qstrcmp(entry.identifier, markupName) == 0)
                return entry.value;
        }
    }
    return std::nullopt;
}

int hexDigit(QChar c) {
    const char16_t u = asciiUpper(c);
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// "#RRGGBB" is written red first; colour values keep red in the low byte.
std::optional<ColourValue> hashColour(QStringView value) {
    if (value.size() != 7 || value[0] != u'#')
        return std::nullopt;
    ColourValue rgb = 0;
    for (const QChar c : value.sliced(1)) {
        const int digit = hexDigit(c);
        if (digit < 0)
            return std::nullopt;
        rgb = rgb * 16 + ColourValue(digit);
    }
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

} // namespace

ColourValue htmlColour(QStringView value) {
    if (const std::optional<ColourValue> rgb = hashColour(value))
        return *rgb;
    return namedColour(value).value_or(Colour::Black);
}

TagEffect applyHtmlTag(QStringView tag, HtmlStyle& style, const CanvasFont& base) {
    const bool closing = tag.startsWith(u'/');
    const QStringView body = closing ? tag.sliced(1) : tag;
    const bool on = !closing;
    switch (classifyTag(body, closing)) {
    case TagKind::Bold:
        style.font.bold = on;
        break;
    case TagKind::Italic:
        style.font.italic = on;
        break;
    case TagKind::Underline:
        style.font.underline = on;
        break;
    case TagKind::Strikeout:
        style.font.strikeOut = on;
        break;
    case TagKind::Subscript:
        style.subscript = on;
        break;
    case TagKind::Superscript:
        style.superscript = on;
        break;
    case TagKind::Hidden:
        style.hidden = on;
        break;
    case TagKind::Break:
        return closing ? TagEffect::Style : TagEffect::LineBreak;
    case TagKind::Paragraph:
        if (closing)
            return TagEffect::ParagraphEnd;
        applyParagraph(TagAttributes(body), style);
        break;
    case TagKind::Font:
        if (closing)
            restoreFont(style, base);
        else
            applyFont(TagAttributes(body), style, base);
        break;
    case TagKind::Unknown:
        break;
    }
    return TagEffect::Style;
}
