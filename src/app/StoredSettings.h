#pragma once

#include <QLatin1StringView>
#include <QString>
#include <array>
#include <optional>
#include <variant>

// The values the display keeps of itself, in the per-user store and in settings files, under the
// same names: the eighteen of the window and the captions, and the four of the network, which a
// service started without switches needs. What each place reads for a value it does not hold is
// StoreDefaults or FileDefaults below.
struct StoredDisplayState {
    int formTop{};
    int formLeft{};
    int formHeight{};
    int formWidth{};
    bool fixTopLeft{};
    int monitor{};
    // The chosen monitor's output name (HDMI-1), which wins over its number while connected.
    QString monitorName;
    bool fullScreen{};
    bool transparent{};
    bool fontOverride{};
    bool wordWrap{};
    int displayLines{};
    int fontHeight{};
    int fontAdjust{};
    bool antiAliased{};
    // The caption colour as the display settings hold it (FontColourSetting, "$00FFFF"). Both places
    // keep it as the number it stands for.
    QString fontColour;
    QString fontName;
    QString backgroundImage;
    // The network, as the switches /port, /capport, /bind and /allow give it (which win over these).
    // Ports are text, handed to the listeners as they are; an empty listen address is every IPv4
    // address, an empty list of controllers everyone.
    QString feedPort;
    QString controlPort;
    QString listenAddress;
    QString allowedControllers;

    bool operator==(const StoredDisplayState&) const = default;
};

// The network's four stored values. The running display listens as it started, so a save writes
// them as the store or a loaded file gave them (never the switches' values), and a loaded file's
// take effect at the next start.
struct StoredNetwork {
    QString feedPort;
    QString controlPort;
    QString listenAddress;
    QString allowedControllers;

    static StoredNetwork of(const StoredDisplayState& state) {
        return {state.feedPort, state.controlPort, state.listenAddress, state.allowedControllers};
    }
    void applyTo(StoredDisplayState& state) const {
        state.feedPort = feedPort;
        state.controlPort = controlPort;
        state.listenAddress = listenAddress;
        state.allowedControllers = allowedControllers;
    }
    bool operator==(const StoredNetwork&) const = default;
};

// What the per-user store reads as when it holds none of the values: a first start.
inline const StoredDisplayState StoreDefaults{
    .formTop = 0,
    .formLeft = 0,
    .formHeight = 64,
    .formWidth = 352,
    .fixTopLeft = false,
    .monitor = 0,
    .monitorName = QString(),
    .fullScreen = false,
    .transparent = false,
    .fontOverride = false,
    .wordWrap = false,
    .displayLines = 3,
    .fontHeight = 28,
    .fontAdjust = 100,
    .antiAliased = false,
    .fontColour = QStringLiteral("$00FFFF"),
    .fontName = QStringLiteral("Arial"),
    .backgroundImage = QString(),
    .feedPort = QStringLiteral("10000"),
    .controlPort = QStringLiteral("1024"),
    .listenAddress = QString(),
    .allowedControllers = QString(),
};

// What a settings file reads as when its section "Display" holds none of the values: a larger
// window, with anti-aliased captions in a larger font.
inline const StoredDisplayState FileDefaults = [] {
    StoredDisplayState state = StoreDefaults;
    state.formHeight = 100;
    state.formWidth = 400;
    state.fontHeight = 44;
    state.antiAliased = true;
    return state;
}();

namespace StoredSettings {

inline constexpr QLatin1StringView FormTop{"Form Top"};
inline constexpr QLatin1StringView FormLeft{"Form Left"};
inline constexpr QLatin1StringView FormHeight{"Form Height"};
inline constexpr QLatin1StringView FormWidth{"Form Width"};
inline constexpr QLatin1StringView FixTopLeft{"FixForm Transparent"};
inline constexpr QLatin1StringView Monitor{"Monitor"};
inline constexpr QLatin1StringView MonitorName{"Monitor Name"};
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
inline constexpr QLatin1StringView FeedPort{"Feed Port"};
inline constexpr QLatin1StringView ControlPort{"Control Port"};
inline constexpr QLatin1StringView ListenAddress{"Listen Address"};
inline constexpr QLatin1StringView AllowedControllers{"Allowed Controllers"};
// Read at start-up only, never written from the running display: the web monitor's port (0: off).
inline constexpr QLatin1StringView WebPort{"Web Port"};
// Likewise: the token a page needs to blank, clear or send a line (empty: no control from the web).
inline constexpr QLatin1StringView WebToken{"Web Token"};

// A whole number, a boolean, text, or the caption colour (kept as a number, held as text).
using Field = std::variant<int StoredDisplayState::*, bool StoredDisplayState::*, QString StoredDisplayState::*>;

struct Range {
    int minimum;
    int maximum;
};

// When a save writes a value: always (the window's and the captions' values, as they have always
// been written), or only when it differs from its default, so that stores and files of displays that
// never set it stay as they were (a default value is then removed from the store).
enum class Written { Always, WhenChanged };

// One stored value: its name, the member of the state that holds it, the range the display
// settings keep it in, where they keep one, and when a save writes it.
struct StoredValue {
    QLatin1StringView name;
    Field field;
    bool colour = false;
    std::optional<Range> range = std::nullopt;
    Written written = Written::Always;
};

inline constexpr Range SignWidthRange{240, 3840};
inline constexpr Range SignHeightRange{64, 3840};
inline constexpr Range LinesRange{1, 20};
inline constexpr Range FontHeightRange{0, 200};
inline constexpr Range FontAdjustRange{10, 1000};

// Every stored value, in the order both places have always been written.
inline const std::array<StoredValue, 22> Table{{
    {FormTop, &StoredDisplayState::formTop},
    {FormLeft, &StoredDisplayState::formLeft},
    {FormHeight, &StoredDisplayState::formHeight, false, SignHeightRange},
    {FormWidth, &StoredDisplayState::formWidth, false, SignWidthRange},
    {FixTopLeft, &StoredDisplayState::fixTopLeft},
    {Monitor, &StoredDisplayState::monitor},
    {MonitorName, &StoredDisplayState::monitorName},
    {FullScreen, &StoredDisplayState::fullScreen},
    {Transparent, &StoredDisplayState::transparent},
    {FontOverride, &StoredDisplayState::fontOverride},
    {WordWrap, &StoredDisplayState::wordWrap},
    {DisplayLines, &StoredDisplayState::displayLines, false, LinesRange},
    {FontHeight, &StoredDisplayState::fontHeight, false, FontHeightRange},
    {FontAdjust, &StoredDisplayState::fontAdjust, false, FontAdjustRange},
    {AntiAliased, &StoredDisplayState::antiAliased},
    {FontColour, &StoredDisplayState::fontColour, true},
    {FontName, &StoredDisplayState::fontName},
    {BackgroundImage, &StoredDisplayState::backgroundImage},
    {FeedPort, &StoredDisplayState::feedPort, false, std::nullopt, Written::WhenChanged},
    {ControlPort, &StoredDisplayState::controlPort, false, std::nullopt, Written::WhenChanged},
    {ListenAddress, &StoredDisplayState::listenAddress, false, std::nullopt, Written::WhenChanged},
    {AllowedControllers, &StoredDisplayState::allowedControllers, false, std::nullopt, Written::WhenChanged},
}};

} // namespace StoredSettings
