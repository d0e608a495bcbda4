#pragma once

#include <QByteArray>
#include <QStringView>

// Control-port message bytes from a command-line argument: the text in the display's 8-bit code
// page, with the C escapes \r \n \t \v \f \a \\ and \xHH (one byte) for the control codes.
// Throws UsageError on an unknown or incomplete escape.
QByteArray MessageFromEscapedArgument(QStringView argument);
