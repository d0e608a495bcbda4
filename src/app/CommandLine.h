#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// Splits a raw command line the way the display's original platform does: parameters separated by
// runs of characters 1..32, double-quoted stretches taken whole without their quotes, and pairs of
// quotes where a parameter begins skipped.
QStringList SplitCommandLine(QStringView commandLine);

// The display's named parameters: "/" or "-" and a name, with the value as the next parameter.
// Lookups are made wherever a value is needed; nothing is parsed in advance.
class CommandLine {
public:
    CommandLine() = default;

    // Parameter 0 is the program's own file name and is never a switch.
    explicit CommandLine(QStringList parameters);

    // Whether a parameter is "/" or "-" followed by the name, letter case ignored.
    bool FindCmdLineSwitch(QStringView name) const;

    // The parameter after the last "/name"; empty when there is none. A switch written with "-"
    // passes FindCmdLineSwitch but gives no value.
    QString ReturnParamStr(QStringView name) const;

    // ReturnParamStr read as a whole signed 32-bit number (decimal, or hexadecimal after "$", "x"
    // or "0x"); 0 when it is not one.
    qint32 ReturnParamInt(QStringView name) const;

    const QStringList& parameters() const { return m_parameters; }

private:
    QStringList m_parameters;
};
