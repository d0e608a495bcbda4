#include "ScaleFontHtml.h"

#include "captions/IntegerPrefix.h"

#include <algorithm>

namespace {

constexpr QStringView FontSize = u"font-size:";
constexpr qsizetype NumberWindow = 8; // the characters after "font-size:" a number is read from

} // namespace

QString ScaleFontHTML(const QString& text, int scale) {
    if (scale == 100)
        return text;
    QString scaled;
    scaled.reserve(text.size());
    qsizetype copiedUpTo = 0;
    for (qsizetype at = text.indexOf(FontSize); at >= 0; at = text.indexOf(FontSize, copiedUpTo)) {
        const qsizetype numberStart = at + FontSize.size();
        const QStringView window =
            QStringView(text).sliced(numberStart).first(std::min(NumberWindow, text.size() - numberStart));
        const IntegerReading number = ReadInteger(window);
        scaled += QStringView(text).sliced(copiedUpTo, numberStart - copiedUpTo);
        scaled += QString::number(qint64(scale) * number.value / 100);
        copiedUpTo = numberStart + number.length;
    }
    scaled += QStringView(text).sliced(copiedUpTo);
    return scaled;
}
