#include "MessageEscapes.h"

#include "ToolSupport.h"
#include "captions/AnsiCodePage.h"

using namespace Qt::Literals::StringLiterals;

namespace {

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

char simpleEscape(QChar c) {
    switch (c.unicode()) {
    case u'r':
        return '\r';
    case u'n':
        return '\n';
    case u't':
        return '\t';
    case u'v':
        return '\v';
    case u'f':
        return '\f';
    case u'a':
        return '\a';
    case u'\\':
        return '\\';
    default:
        return 0;
    }
}

} // namespace

QByteArray MessageFromEscapedArgument(QStringView argument) {
    QByteArray message;
    qsizetype plainFrom = 0;
    const auto flushPlain = [&](qsizetype end) {
        message += AnsiCodePage::fromUnicode(argument.sliced(plainFrom, end - plainFrom));
    };
    for (qsizetype i = 0; i < argument.size(); ++i) {
        if (argument[i] != u'\\')
            continue;
        flushPlain(i);
        if (i + 1 >= argument.size())
            throw UsageError(u"a message ends in a lone backslash"_s);
        const QChar kind = argument[i + 1];
        if (kind == u'x') {
            const int high = i + 2 < argument.size() ? hexDigit(argument[i + 2]) : -1;
            const int low = i + 3 < argument.size() ? hexDigit(argument[i + 3]) : -1;
            if (high < 0 || low < 0)
                throw UsageError(u"\\x in a message needs two hexadecimal digits"_s);
            message += char(high * 16 + low);
            i += 3;
        } else if (const char c = simpleEscape(kind)) {
            message += c;
            i += 1;
        } else {
            throw UsageError(u"unknown escape \\%1 in a message"_s.arg(kind));
        }
        plainFrom = i + 1;
    }
    flushPlain(argument.size());
    return message;
}
