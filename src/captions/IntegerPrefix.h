#pragma once

#include <QStringView>
#include <optional>

// The one rule by which numbers are read from text everywhere in the display: leading spaces, an
// optional sign, then decimal digits, or hexadecimal digits after "$", "x" or "0x". A text that is
// a number and nothing else is a complete number; otherwise the digits read before the first
// stranger count, without their sign ("50%" gives 50, "-5%" gives 5, "abc" gives 0).
struct IntegerReading {
    qint32 value = 0;
    bool complete = false;
    qsizetype length = 0; // the characters the reading used: spaces, sign, base mark and digits
};

IntegerReading ReadInteger(QStringView text);

inline qint32 IntegerPrefix(QStringView text) {
    return ReadInteger(text).value;
}

// The value of a complete number, or nothing.
std::optional<qint32> CompleteInteger(QStringView text);
