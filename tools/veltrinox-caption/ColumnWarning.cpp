#include "ColumnWarning.h"

using namespace Qt::Literals::StringLiterals;

std::optional<QString> ColumnWarnings::read(QStringView document) {
    ++m_number;
    const std::optional<QString> languageName = ReadCaptionDocument(document, m_state);
    if (!languageName)
        return u"document %1 does not parse: the display ignores it"_s.arg(m_number);
    const TCaptions& caption = m_state.current;
    const int column = ShownColumn(caption, *languageName);
    if (!caption.Caption[std::size_t(column)].Text.isEmpty())
        return std::nullopt;
    QString rule;
    if (caption.Caption[std::size_t(column)].Language != *languageName)
        rule = u"as no column's StrName is the Language Name \"%1\""_s.arg(*languageName);
    else if (languageName->isEmpty())
        rule = u"the last without a language name"_s;
    else
        rule = u"the last whose StrName is the Language Name \"%1\""_s.arg(*languageName);
    return u"document %1 shows column %2, %3, which is empty"_s.arg(m_number).arg(column).arg(rule);
}
