#include "InformationRequest.h"

#include <array>

using namespace Qt::Literals::StringLiterals;

namespace {

// The switches followed by a value: the value is passed over, so "/fontname --odd" stays a font name.
constexpr std::array<QStringView, 17> ValueSwitches = {
    u"port",     u"capport",        u"xpos", u"ypos",     u"width", u"height", u"adjust",  u"monitor",  u"fontsize",
    u"fontname", u"BaseFontHeight", u"log",  u"instance", u"bind",  u"allow",  u"webport", u"webtoken",
};

bool takesValue(const QString& parameter) {
    if (!parameter.startsWith(u'/'))
        return false;
    for (QStringView name : ValueSwitches) {
        if (QStringView(parameter).sliced(1).compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString help(const QString& version) {
    return uR"(veltrinox-lcd %1: the surtitle display (Veltrinox LCD output.)

Usage: veltrinox-lcd [/switch value]...
       veltrinox-lcd --help | -h       this text
       veltrinox-lcd --version | -V    the version

Switches are written "/name value" (names in any letter case); the last of a repeated switch counts.
Without a switch, the stored settings apply (the first start's defaults in brackets).
  /port N            caption feed port, TCP [stored "Feed Port": 10000]
  /capport N         control port for Stagetext and status queries, TCP [stored "Control Port": 1024]
  /xpos N            window's left edge in pixels; turns "Fix Top left" off [stored: 0]
  /ypos N            window's top edge in pixels; turns "Fix Top left" off [stored: 0]
  /width N           window width in pixels (the setup's field keeps 240..3840) [stored: 352]
  /height N          window height in pixels (the field keeps 64..3840), set again at every Apply [stored: 64]
  /adjust N          font size adjust in per cent (10..1000) [stored: 100]
  /monitor N|NAME    monitor number from 0, or output name (HDMI-1); turns Font Override on [stored: 0]
  /fontsize N        font height; turns Font Override on [stored: 28]
  /fontname NAME     override font (quote a name with blanks); turns Font Override on [none]
  /BaseFontHeight N  base font height in pixels, instead of the display image's width / 56
  /log FILE          also append the event log to FILE (it always goes to standard error) [none]
  /instance NAME     a named display (letters, digits, "-", "_"): its own stored settings, kept caption,
                     window title and log tag, so several run side by side [none]
  /bind ADDRESS      feed and control ports listen on this IPv4 or IPv6 address only; the sign-on goes
                     out only from the adapter holding it [stored "Listen Address": every IPv4 address]
  /allow LIST        serve only these controllers: addresses and ranges, comma-separated
                     (192.168.10.0/24,10.0.0.5,fd00::/8) [stored "Allowed Controllers": everyone]
  /webport N         web monitor port: the display's picture, status and health over HTTP; 0 is off
                     [stored "Web Port": 0]
  /webtoken TOKEN    lets a page opened as http://<address>:<port>/?token=TOKEN blank, clear and
                     send lines; without it the web monitor only shows [stored "Web Token": none]
A size switch (/width, /height, /adjust) turns Font Override off again.
Numbers may be hexadecimal after "$" or "0x"; "-name" finds a switch but gives it no value.

Example: a 1280 x 96 window on the second monitor of a 1920-pixel pair, listening on ports 10001 and 1025:
  veltrinox-lcd /port 10001 /capport 1025 /xpos 1920 /ypos 0 /width 1280 /height 96
)"_s.arg(version);
}

} // namespace

std::optional<InformationAnswer> AnswerInformationRequest(const QStringList& parameters, const QString& version) {
    for (qsizetype i = 1; i < parameters.size(); ++i) {
        const QString& parameter = parameters[i];
        if (takesValue(parameter)) {
            ++i;
        } else if (parameter == u"--help" || parameter == u"-h") {
            return InformationAnswer{0, help(version), {}};
        } else if (parameter == u"--version" || parameter == u"-V") {
            return InformationAnswer{0, u"veltrinox-lcd %1\n"_s.arg(version), {}};
        } else if (parameter.startsWith(u"--")) {
            return InformationAnswer{2, {}, u"veltrinox-lcd: unknown option \"%1\" (see --help)\n"_s.arg(parameter)};
        }
    }
    return std::nullopt;
}
