#pragma once

// The names of the stored settings, the same in the per-user store and in settings files.
namespace StoredSettings {

inline constexpr char FormTop[] = "Form Top";
inline constexpr char FormLeft[] = "Form Left";
inline constexpr char FormHeight[] = "Form Height";
inline constexpr char FormWidth[] = "Form Width";
inline constexpr char FixTopLeft[] = "FixForm Transparent";
inline constexpr char Monitor[] = "Monitor";
inline constexpr char FullScreen[] = "Form Full Screen";
inline constexpr char Transparent[] = "Form Transparent";
inline constexpr char FontOverride[] = "Font Override";
inline constexpr char WordWrap[] = "Word Wrap";
inline constexpr char DisplayLines[] = "Number of display lines";
inline constexpr char FontHeight[] = "Font height";
inline constexpr char FontAdjust[] = "Font adjust";
inline constexpr char AntiAliased[] = "AntiAliased";
inline constexpr char FontColour[] = "Font colour";
inline constexpr char FontName[] = "Font name";
inline constexpr char BackgroundImage[] = "Background Image";

} // namespace StoredSettings
