#include "AnsiCodePage.h"

#include <algorithm>
#include <array>

namespace {

// 0x80..0x9F of Windows-1252; the rest of the code page equals Latin-1.
constexpr std::array<char16_t, 32> HighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char encodeUnit(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
        return static_cast<char>(unit);
    for (std::size_t i = 0; i < HighControlRange.size(); ++i) {
        if (HighControlRange[i] == unit)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

} // namespace

namespace AnsiCodePage {

QString toUnicode(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = (byte >= 0x80 && byte < 0xA0) ? HighControlRange[byte - 0x80] : char16_t(byte);
    }
    return text;
}

QByteArray fromUnicode(QStringView text) {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (const QChar c : text)
        *out++ = encodeUnit(c.unicode());
    return bytes;
}

QString roundTrip(const QString& text) {
    const auto representable = [](QChar c) { return c.unicode() < 0x80 || encodeUnit(c.unicode()) != '?'; };
    if (std::all_of(text.begin(), text.end(), representable))
        return text;
    QString kept = text;
    for (QChar& c : kept) {
        if (!representable(c))
            c = u'?';
    }
    return kept;
}

} // namespace AnsiCodePage
