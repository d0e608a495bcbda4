#include "StoredForm.h"

#include "IntegerPrefix.h"

#include <algorithm>
#include <optional>

QString MemoStringToStoredString(QStringView caption) {
    if (caption.isEmpty())
        return QStringLiteral(" ");
    QString stored;
    stored.reserve(caption.size());
    qsizetype plainFrom = 0;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const char16_t c = caption[i].unicode();
        if (c >= 32)
            continue;
        stored += caption.sliced(plainFrom, i - plainFrom);
        stored += u"&#";
        stored += QString::number(c);
        stored += u';';
        plainFrom = i + 1;
    }
    stored += caption.sliced(plainFrom);
    return stored;
}

namespace {

// The next "&#" at or after from, found through its "&" with a vectorised scan: column texts may be
// long (a picture's Base64 text has no "&" at all).
qsizetype findReference(QStringView text, qsizetype from) {
    for (qsizetype at = text.indexOf(u'&', from); at >= 0; at = text.indexOf(u'&', at + 1)) {
        if (at + 1 < text.size() && text[at + 1] == u'#')
            return at;
    }
    return -1;
}

qsizetype findSemicolon(QStringView text, qsizetype from) {
    const char16_t* units = text.utf16();
    for (qsizetype i = from; i < text.size(); ++i) {
        if (units[i] == u';')
            return i;
    }
    return -1;
}

} // namespace

QString StoredStringToMemoString(QString caption) {
    // Decoded in place: a reference is never shorter than the character it stands for, and the scan
    // reads only what lies past everything written.
    const QStringView text = caption;
    qsizetype written = -1; // end of the decoded text once the first reference is decoded
    qsizetype copiedUpTo = 0;
    qsizetype semicolon = -1; // the first ";" at or after the current reference's number
    for (qsizetype at = findReference(text, 0); at >= 0; at = findReference(text, at + 1)) {
        const qsizetype numberStart = at + 2;
        if (semicolon < numberStart)
            semicolon = findSemicolon(text, numberStart);
        if (semicolon < 0)
            break; // no later reference can be closed either
        const std::optional<qint32> number = CompleteInteger(text.sliced(numberStart, semicolon - numberStart));
        if (!number)
            continue;
        if (written < 0) {
            caption.detach();
            written = at;
        } else {
            std::copy(text.begin() + copiedUpTo, text.begin() + at, caption.begin() + written);
            written += at - copiedUpTo;
        }
        caption[written++] = QChar(char16_t(quint32(*number) & 0xFFFF));
        copiedUpTo = semicolon + 1;
        // Scanning resumes after the reference, so the decoded character is never read again.
        at = semicolon;
    }
    if (written < 0)
        return caption;
    std::copy(text.begin() + copiedUpTo, text.end(), caption.begin() + written);
    caption.truncate(written + (text.size() - copiedUpTo));
    return caption;
}
