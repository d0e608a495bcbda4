#include "ControlMessage.h"

#include "captions/AnsiCodePage.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QByteArrayView StatusQuery = "\x0B?0";
constexpr QByteArrayView IgnoredPrefix = "\x0BTL";

} // namespace

ControlMessageKind ClassifyControlMessage(QByteArrayView message) {
    if (message == StatusQuery)
        return ControlMessageKind::StatusQuery;
    if (message.startsWith(IgnoredPrefix))
        return ControlMessageKind::Ignored;
    return ControlMessageKind::Stagetext;
}

QString DecodeControlMessage(QByteArrayView message) {
    return AnsiCodePage::toUnicode(message);
}

QByteArray ReplyString(const DisplayStatus& status) {
    const QString reply = u"DisplayWidth=%1\r\n"
                          u"DisplayHeight=%2\r\n"
                          u"DisplayFontName=%3\r\n"
                          u"DisplayFontColor=%4\r\n"
                          u"DisplayBrushColor=%5\r\n"
                          u"DisplayFontSize=%6\r\n"
                          u"DisplayLines=%7\r\n"_s.arg(
                              QString::number(status.displayWidth), QString::number(status.displayHeight),
                              status.fontName, ColourToString(status.fontColour), ColourToString(status.brushColour),
                              QString::number(status.fontSize), QString::number(status.displayLines));
    return AnsiCodePage::fromUnicode(reply);
}
