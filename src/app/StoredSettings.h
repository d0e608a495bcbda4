#pragma once

#include <QLatin1StringView>

// The names of the stored settings, the same in the per-user store and in settings files.
namespace StoredSettings {

inline constexpr QLatin1StringView FormTop{"Form Top"};
inline constexpr QLatin1StringView FormLeft{"Form Left"};
inline constexpr QLatin1StringView FormHeight{"Form Height"};
inline constexpr QLatin1StringView FormWidth{"Form Width"};
inline constexpr QLatin1StringView FixTopLeft{"FixForm Transparent"};
inline constexpr QLatin1StringView Monitor{"Monitor"};
inline constexpr QLatin1StringView FullScreen{"Form Full Screen"};
inline constexpr QLatin1StringView Transparent{"Form Transparent"};
inline constexpr QLatin1StringView FontOverride{"Font Override"};
inline constexpr QLatin1StringView WordWrap{"Word Wrap"};
inline constexpr QLatin1StringView DisplayLines{"Number of display lines"};
inline constexpr QLatin1StringView FontHeight{"Font height"};
inline constexpr QLatin1StringView FontAdjust{"Font adjust"};
inline constexpr QLatin1StringView AntiAliased{"AntiAliased"};
inline constexpr QLatin1StringView FontColour{"Font colour"};
inline constexpr QLatin1StringView FontName{"Font name"};
inline constexpr QLatin1StringView BackgroundImage{"Background Image"};

} // namespace StoredSettings
