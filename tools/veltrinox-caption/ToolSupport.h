#pragma once

#include <QByteArrayView>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <stdexcept>

// What the subcommands of veltrinox-caption share: exit statuses, usage errors, output.

inline constexpr int ExitSuccess = 0;
inline constexpr int ExitFailure = 1;
inline constexpr int ExitUsage = 2;

// Bad options or arguments: reported in one line, with exit status 2.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// Parses the subcommand's arguments (its name first); returns false when --help was asked for.
bool parseArguments(QCommandLineParser& parser, const QStringList& arguments);

int integerOption(const QCommandLineParser& parser, const QString& name);

void writeOut(QByteArrayView bytes);
void writeError(const QString& line);
