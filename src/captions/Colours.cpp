#include "Colours.h"

#include "IntegerPrefix.h"

#include <array>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr ColourValue SystemColour = 0xFF000000;

constexpr std::array<NamedColour, 52> PlatformColours = {{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clScrollBar", SystemColour + 0},
    {"clBackground", SystemColour + 1},
    {"clActiveCaption", SystemColour + 2},
    {"clInactiveCaption", SystemColour + 3},
    {"clMenu", SystemColour + 4},
    {"clWindow", SystemColour + 5},
    {"clWindowFrame", SystemColour + 6},
    {"clMenuText", SystemColour + 7},
    {"clWindowText", SystemColour + 8},
    {"clCaptionText", SystemColour + 9},
    {"clActiveBorder", SystemColour + 10},
    {"clInactiveBorder", SystemColour + 11},
    {"clAppWorkSpace", SystemColour + 12},
    {"clHighlight", SystemColour + 13},
    {"clHighlightText", SystemColour + 14},
    {"clBtnFace", SystemColour + 15},
    {"clBtnShadow", SystemColour + 16},
    {"clGrayText", SystemColour + 17},
    {"clBtnText", SystemColour + 18},
    {"clInactiveCaptionText", SystemColour + 19},
    {"clBtnHighlight", SystemColour + 20},
    {"cl3DDkShadow", SystemColour + 21},
    {"cl3DLight", SystemColour + 22},
    {"clInfoText", SystemColour + 23},
    {"clInfoBk", SystemColour + 24},
    {"clHotLight", SystemColour + 26},
    {"clGradientActiveCaption", SystemColour + 27},
    {"clGradientInactiveCaption", SystemColour + 28},
    {"clMenuHighlight", SystemColour + 29},
    {"clMenuBar", SystemColour + 30},
    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
}};

// The operators' colour words, compared after ASCII upper-casing.
constexpr std::array<NamedColour, 8> ColourWords = {{
    {"YELLOW", 0x00FFFF},
    {"RED", 0x0000FF},
    {"GREEN", 0x00FF00},
    {"BLUE", 0xFF0000},
    {"BLACK", 0x000000},
    {"CYAN", 0xFFFF00},
    {"MAGENTA", 0xFF00FF},
    {"WHITE", 0xFFFFFF},
}};

char16_t asciiUpper(char16_t c) {
    return (c >= u'a' && c <= u'z') ? char16_t(c - u'a' + u'A') : c;
}

bool equalsAsciiUpper(QStringView text, const char* upperWord) {
    qsizetype i = 0;
    for (; upperWord[i] != '\0'; ++i) {
        if (i >= text.size() || asciiUpper(text[i].unicode()) != char16_t(upperWord[i]))
            return false;
    }
    return i == text.size();
}

bool equalsIgnoringAsciiCase(QStringView text, const char* identifier) {
    qsizetype i = 0;
    for (; identifier[i] != '\0'; ++i) {
        if (i >= text.size() || asciiUpper(text[i].unicode()) != asciiUpper(char16_t(identifier[i])))
            return false;
    }
    return i == text.size();
}

std::optional<ColourValue> readDollarColour(QStringView colour) {
    ColourValue value = 0;
    for (const QChar c : colour.last(6)) {
        const char16_t u = asciiUpper(c.unicode());
        int digit = -1;
        if (u >= u'0' && u <= u'9')
            digit = u - u'0';
        else if (u >= u'A' && u <= u'F')
            digit = u - u'A' + 10;
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + ColourValue(digit);
    }
    return value;
}

} // namespace

std::span<const NamedColour> PlatformColourTable() {
    return PlatformColours;
}

ColourValue StringToColour(QStringView colour, ColourValue fallback) {
    if ((colour.size() == 7 || colour.size() == 9) && colour.startsWith(u'$'))
        return readDollarColour(colour).value_or(fallback);

    for (const NamedColour& word : ColourWords) {
        if (equalsAsciiUpper(colour, word.identifier))
            return word.value;
    }
    for (const NamedColour& entry : PlatformColours) {
        if (equalsIgnoringAsciiCase(colour, entry.identifier))
            return entry.value;
    }
    if (const std::optional<qint32> number = CompleteInteger(colour))
        return static_cast<ColourValue>(*number);
    return fallback;
}

QString ColourToString(ColourValue colour) {
    for (const NamedColour& entry : PlatformColours) {
        if (entry.value == colour)
            return QString::fromLatin1(entry.identifier);
    }
    return u"$"_s + QString::number(colour, 16).toUpper().rightJustified(8, u'0');
}

QString ColourSettingText(ColourValue colour) {
    return u"$"_s + QString::number(colour, 16).toUpper().rightJustified(6, u'0');
}
