#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What the command line asks of the display before any window exists: "--help"/"-h" and
// "--version"/"-V" are answered on standard output, an unknown "--option" is refused on standard
// error, all without a window system. The display's own switches ("/port 10001") pass untouched.
struct InformationAnswer {
    int exitStatus = 0;
    QString output; // for standard output
    QString error;  // for standard error, one line
};

// The answer the parameters ask for (parameter 0 is the program's file name); none when the display
// is to start.
std::optional<InformationAnswer> AnswerInformationRequest(const QStringList& parameters, const QString& version);
