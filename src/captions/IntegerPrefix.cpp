#include "IntegerPrefix.h"

#include <limits>

namespace {

int digitValue(QChar c, bool hexadecimal) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (hexadecimal && u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (hexadecimal && u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

bool isHexMark(QChar c) {
    return c == u'$' || c == u'x' || c == u'X';
}

} // namespace

IntegerReading ReadInteger(QStringView text) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text[i] == u' ')
        ++i;

    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }

    bool hexadecimal = false;
    if (i < n && isHexMark(text[i])) {
        hexadecimal = true;
        ++i;
    } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        hexadecimal = true;
        i += 2;
    }

    // Hexadecimal fills all 32 bits ($FFFFFFFF is -1); decimal stays within the signed range. A
    // digit that would overflow stops the reading like any other stranger.
    const quint64 base = hexadecimal ? 16 : 10;
    const quint64 limit =
        hexadecimal ? 0xFFFFFFFFull : quint64(std::numeric_limits<qint32>::max()) + (negative ? 1 : 0);
    quint64 magnitude = 0;
    qsizetype digits = 0;
    for (; i < n; ++i) {
        const int d = digitValue(text[i], hexadecimal);
        if (d < 0 || magnitude * base + quint64(d) > limit)
            break;
        magnitude = magnitude * base + quint64(d);
        ++digits;
    }

    const auto asInt32 = [](quint64 m) { return static_cast<qint32>(static_cast<quint32>(m)); };
    if (i == n) {
        const quint32 bits = static_cast<quint32>(magnitude);
        return {static_cast<qint32>(negative ? 0u - bits : bits), digits > 0, i};
    }
    if (!hexadecimal && magnitude > quint64(std::numeric_limits<qint32>::max()))
        magnitude = std::numeric_limits<qint32>::max();
    return {asInt32(magnitude), false, i};
}

std::optional<qint32> CompleteInteger(QStringView text) {
    const IntegerReading reading = ReadInteger(text);
    if (!reading.complete)
        return std::nullopt;
    return reading.value;
}
