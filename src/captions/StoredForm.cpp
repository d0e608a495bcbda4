#include "StoredForm.h"

#include "IntegerPrefix.h"

#include <optional>

QString MemoStringToStoredString(QStringView caption) {
    if (caption.isEmpty())
        return QStringLiteral(" ");
    QString stored;
    stored.reserve(caption.size());
    for (const QChar c : caption) {
        if (c.unicode() < 32) {
            stored += u"&#";
            stored += QString::number(c.unicode());
            stored += u';';
        } else {
            stored += c;
        }
    }
    return stored;
}

QString StoredStringToMemoString(QStringView caption) {
    QString memo;
    memo.reserve(caption.size());
    qsizetype copiedUpTo = 0;
    qsizetype semicolon = -1; // the first ";" at or after the current reference's number
    for (qsizetype at = caption.indexOf(u"&#"); at >= 0; at = caption.indexOf(u"&#", at + 1)) {
        const qsizetype numberStart = at + 2;
        if (semicolon < numberStart)
            semicolon = caption.indexOf(u';', numberStart);
        if (semicolon < 0)
            break; // no later reference can be closed either
        const std::optional<qint32> number = CompleteInteger(caption.sliced(numberStart, semicolon - numberStart));
        if (!number)
            continue;
        memo += caption.sliced(copiedUpTo, at - copiedUpTo);
        memo += QChar(char16_t(quint32(*number) & 0xFFFF));
        copiedUpTo = semicolon + 1;
        // Scanning resumes after the reference, so the decoded character is never read again.
        at = semicolon;
    }
    memo += caption.sliced(copiedUpTo);
    return memo;
}
