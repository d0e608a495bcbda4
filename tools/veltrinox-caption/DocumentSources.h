#pragma once

#include <QString>
#include <QStringList>

// The caption documents named on a command line, in order: each FILE holds one whole document
// (UTF-8, or UTF-16 with a byte-order mark); "-" (or no FILE at all) is standard input with one
// document a line. An unreadable file throws UsageError.
QStringList ReadDocumentSources(QStringList sources);
