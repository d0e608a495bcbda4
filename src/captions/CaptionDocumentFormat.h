#pragma once

#include <QStringView>

// Names of the caption document's elements and attributes, compared exactly, with case.
namespace CaptionDocumentFormat {

inline constexpr char RootElement[] = "Surtitles";
inline constexpr char CueElement[] = "Cue"; // the caption element the display writes

inline constexpr char ActAttribute[] = "Act";
inline constexpr char SceneAttribute[] = "Scene";
inline constexpr char CueAttribute[] = "Cue";

inline constexpr char LanguageElement[] = "Language";
inline constexpr char LanguageNameAttribute[] = "Name";

inline constexpr char CaptionsElement[] = "Captions";
inline constexpr char StreamPrefix[] = "Stream";   // Stream0 .. Stream9: column texts
inline constexpr char StrNamePrefix[] = "StrName"; // StrName0 .. StrName9: column languages

inline constexpr char FontElement[] = "Font";
inline constexpr char FontColourAttribute[] = "Colour";
inline constexpr char FontBackColourAttribute[] = "BackColour";
inline constexpr char FontSizeAttribute[] = "Size";
inline constexpr char FontNameAttribute[] = "Name";

inline constexpr char EffectsElement[] = "Effects";
inline constexpr char InEffectAttribute[] = "InEffect";
inline constexpr char OutEffectAttribute[] = "OutEffect";
inline constexpr char SpeedAttribute[] = "Speed";
inline constexpr char JustificationAttribute[] = "Justification";
inline constexpr char VerticalJustificationAttribute[] = "VerticalJustification";
inline constexpr char BrightnessAttribute[] = "Brightness";
inline constexpr char OverallBrightnessAttribute[] = "OverallBrightness";

inline constexpr char CommentElement[] = "Comment";
inline constexpr char CommentTextAttribute[] = "Text";

// Framing texts on the caption feed: a document starts and ends exactly with these.
inline constexpr QStringView StartTag = u"<Surtitles>";
inline constexpr QStringView EndTag = u"</Surtitles>";

} // namespace CaptionDocumentFormat

namespace CaptionDocumentFormat {

// A column text that is a picture: this prefix, then the Base64 text of a BMP file.
inline constexpr QStringView ImagePrefix = u"#IMAGE:#";

} // namespace CaptionDocumentFormat
