#pragma once

#include "captions/Captions.h"

#include <QString>
#include <QStringView>
#include <vector>

// Stagetext captions: short strings of text and control codes sent on the control port. A scan turns
// the string into tokens; the converter plays them onto a caption record, which is then written as
// a caption document like those the caption feed carries.

namespace Stagetext {

inline constexpr char16_t Delete = 0x7F;         // removed before the string is read
inline constexpr char16_t Bell = 0x07;           // clear: the caption becomes "{CLEAR}"
inline constexpr char16_t Tab = 0x09;            // the caption becomes empty
inline constexpr char16_t VerticalTab = 0x0B;    // introduces a command letter
inline constexpr char16_t FormFeed = 0x0C;       // blank: the caption becomes "{BLANK}"
inline constexpr char16_t CarriageReturn = 0x0D; // line end: the caption becomes the text so far

struct Token {
    enum class Kind {
        Text, // parameter: the character, appended to the gathered text
        Clear,
        Empty,
        Blank,
        LineEnd,
        Brightness, // parameter: the brightness character
        Italics,    // parameter: '1' or '0' switch italics; anything else does nothing
        Rate,       // parameter: the rate character
        JustifyLeft,
        JustifyCentre,
        JustifyRight,
        Discard, // an unknown command: the gathered text is dropped
    };
    Kind kind;
    char16_t parameter = 0; // a parameter missing at the end of the string reads as 0
    friend bool operator==(const Token&, const Token&) = default;
};

std::vector<Token> Scan(QStringView text);

// The percentage texts of the brightness and rate commands ("95%", "96%").
QString BrightnessPercentage(char16_t parameter);
QString RatePercentage(char16_t parameter);

} // namespace Stagetext

// The display settings a Stagetext caption takes its font, size and colour from.
struct StagetextSettings {
    bool fontOverride = false;
    QString overrideFontName; // the override font selector's text
    int fontAdjustPercent = 100;
    int baseFontHeight = 0;
    QString fontColourSetting; // the configured caption colour as text, "$00FFFF"
};

// Converts Stagetext strings one after another. The rate a string sets carries into every later
// caption, whichever connection sends it.
class StagetextConverter {
public:
    TCaptions CaptionFromStagetext(QStringView comString, const StagetextSettings& settings);

    // The speed text of the last rate command ("96%"), empty before the first.
    const QString& StagetextSpeed() const { return m_stagetextSpeed; }

private:
    QString m_stagetextSpeed;
};
