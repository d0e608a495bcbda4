#include "app/PlatformChoice.h"

#include <gtest/gtest.h>

namespace {

using Kind = PlatformChoice::Kind;

struct PlatformCase {
    const char* name;
    DisplayEnvironment environment;
    Kind kind;
    QByteArray platform;
};

class PlatformChoiceTest : public testing::TestWithParam<PlatformCase> {};

TEST_P(PlatformChoiceTest, ChoosesTheWindowSystem) {
    const PlatformChoice choice = ChoosePlatform(GetParam().environment);
    EXPECT_EQ(choice.kind, GetParam().kind);
    EXPECT_EQ(choice.platform, GetParam().platform);
    // Every choice but a plain X11 desktop and the user's own is told in the log, and native Wayland
    // with what the compositor does not honour.
    const bool native = GetParam().kind == Kind::NativeWayland || GetParam().environment.platform == "wayland";
    EXPECT_EQ(choice.note.isEmpty(), !native && (GetParam().kind == Kind::X11 || GetParam().kind == Kind::AsAsked));
    EXPECT_EQ(choice.note.contains(u"staying on top"), native);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, PlatformChoiceTest,
    testing::Values(PlatformCase{"X11Desktop", {{}, ":0", {}}, Kind::X11, "xcb"},
                    PlatformCase{"WaylandWithXWayland", {{}, ":0", "wayland-0"}, Kind::ThroughXWayland, "xcb"},
                    PlatformCase{"WaylandOnly", {{}, {}, "wayland-0"}, Kind::NativeWayland, "wayland"},
                    PlatformCase{"NoDisplayServer", {}, Kind::NoDisplayServer, {}},
                    PlatformCase{"PlatformNamed", {"wayland", ":0", "wayland-0"}, Kind::AsAsked, {}},
                    PlatformCase{"OffscreenAskedWithoutDisplay", {"offscreen"}, Kind::AsAsked, {}},
                    PlatformCase{"PlatformSwitch", {{}, ":0", "wayland-0", true}, Kind::AsAsked, {}}),
    [](const testing::TestParamInfo<PlatformCase>& info) { return std::string(info.param.name); });

} // namespace
