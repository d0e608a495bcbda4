#include "DocumentSources.h"

#include "ToolSupport.h"

#include <QFile>
#include <QStringDecoder>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

// UTF-16 when a byte-order mark says so, UTF-8 otherwise; the mark itself is dropped.
QString decodeDocumentText(const QByteArray& bytes) {
    const QStringConverter::Encoding encoding =
        QStringConverter::encodingForData(bytes).value_or(QStringConverter::Utf8);
    QStringDecoder decoder(encoding);
    return decoder.decode(bytes);
}

QByteArray readStandardInput() {
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        throw UsageError(u"cannot read standard input"_s);
    return input.readAll();
}

QByteArray readFile(const QString& name) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        throw UsageError(u"cannot read %1: %2"_s.arg(name, file.errorString()));
    return file.readAll();
}

} // namespace

QStringList ReadDocumentSources(QStringList sources) {
    if (sources.isEmpty())
        sources.append(u"-"_s);
    QStringList documents;
    for (const QString& source : sources) {
        if (source != u"-") {
            documents.append(decodeDocumentText(readFile(source)));
            continue;
        }
        // One document a line; blank lines carry no document.
        const QString input = decodeDocumentText(readStandardInput());
        for (QStringView line : QStringView(input).split(u'\n')) {
            if (line.endsWith(u'\r'))
                line.chop(1);
            if (!line.isEmpty())
                documents.append(line.toString());
        }
    }
    return documents;
}
