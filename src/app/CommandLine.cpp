#include "CommandLine.h"

#include "captions/IntegerPrefix.h"

#include <optional>

namespace {

bool isSeparator(QChar c) {
    return c.unicode() >= 1 && c.unicode() <= 32;
}

// The end of the text counts as a NUL: a separator run and a parameter both stop there.
QChar charAt(QStringView text, qsizetype i) {
    return i < text.size() ? text[i] : QChar(u'\0');
}

QString asciiUpper(QStringView text) {
    QString upper = text.toString();
    for (QChar& c : upper) {
        if (c >= u'a' && c <= u'z')
            c = QChar(char16_t(c.unicode() - u'a' + u'A'));
    }
    return upper;
}

} // namespace

QStringList SplitCommandLine(QStringView text) {
    QStringList parameters;
    qsizetype i = 0;
    for (;;) {
        for (;;) {
            while (i < text.size() && isSeparator(text[i]))
                ++i;
            if (charAt(text, i) == u'"' && charAt(text, i + 1) == u'"')
                i += 2;
            else
                break;
        }
        QString parameter;
        while (charAt(text, i).unicode() > 32) {
            if (text[i] == u'"') {
                ++i;
                while (i < text.size() && text[i] != u'"' && text[i] != u'\0')
                    parameter += text[i++];
                if (i < text.size() && text[i] == u'"')
                    ++i;
            } else {
                parameter += text[i++];
            }
        }
        if (parameter.isEmpty())
            break;
        parameters.append(parameter);
    }
    return parameters;
}

CommandLine::CommandLine(QStringList parameters) : m_parameters(std::move(parameters)) {}

bool CommandLine::FindCmdLineSwitch(QStringView name) const {
    for (qsizetype i = 1; i < m_parameters.size(); ++i) {
        const QString& parameter = m_parameters[i];
        if (parameter.isEmpty() || (parameter[0] != u'-' && parameter[0] != u'/'))
            continue;
        if (QStringView(parameter).sliced(1).compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString CommandLine::ReturnParamStr(QStringView name) const {
    if (!FindCmdLineSwitch(name))
        return {};
    const QString key = asciiUpper(QString(u'/').append(name));
    QString value;
    for (qsizetype i = 1; i < m_parameters.size(); ++i) {
        if (asciiUpper(m_parameters[i]) == key)
            value = i + 1 < m_parameters.size() ? m_parameters[i + 1] : QString();
    }
    return value;
}

qint32 CommandLine::ReturnParamInt(QStringView name) const {
    return CompleteInteger(ReturnParamStr(name)).value_or(0);
}
