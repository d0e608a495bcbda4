#include "LongText.h"

#include <QChar>
#include <algorithm>

qsizetype NextTextPieceEnd(QStringView text, qsizetype start) {
    qsizetype end = std::min(text.size(), start + TextPieceLength);
    if (end < text.size() && QChar::isLowSurrogate(text[end].unicode()))
        ++end;
    return end;
}
