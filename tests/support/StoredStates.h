#pragma once

#include "app/StoredSettings.h"

// A stored display state with every value away from its default, in forms that test a store's
// reading and writing: negative and large numbers, text beyond Latin-1, a folder with spaces and
// an emoji, an IPv6 range.
inline StoredDisplayState EveryValueChanged() {
    using namespace Qt::Literals::StringLiterals;
    return {
        .formTop = -1080,
        .formLeft = 1920,
        .formHeight = 240,
        .formWidth = 1280,
        .fixTopLeft = true,
        .monitor = 2,
        .monitorName = u"HDMI-2"_s,
        .fullScreen = true,
        .transparent = true,
        .fontOverride = true,
        .wordWrap = true,
        .displayLines = 5,
        .fontHeight = 60,
        .fontAdjust = 150,
        .antiAliased = false,
        .fontColour = u"clBlue"_s,
        .fontName = u"Noto Sans CJK 日本語"_s,
        .backgroundImage = u"/srv/Bühne/🎭 stage.bmp"_s,
        .feedPort = u"41000"_s,
        .controlPort = u"41001"_s,
        .listenAddress = u"192.168.10.5"_s,
        .allowedControllers = u"192.168.10.0/24, fd00::/8"_s,
    };
}
