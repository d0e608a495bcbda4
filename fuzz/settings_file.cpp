// Settings files of any bytes: loaded, every display value read, written back, saved to a scratch
// file and loaded again. What a save writes must read back as it was written.
#include "FuzzSupport.h"
#include "app/SettingsFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <fuzzer/FuzzedDataProvider.h>

using FuzzSupport::require;

namespace {

const QString& scratchFile() {
    static const QTemporaryDir directory;
    static const QString path = directory.filePath(QStringLiteral("display.ini"));
    return path;
}

void checkText(const QString& text) {
    require(text.size() <= SettingsFile::MaxTextLength, "a text read is at most MaxTextLength long");
    require(text.isEmpty() || !text.back().isHighSurrogate(), "a text read never ends in half a pair");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string nameBytes = input.ConsumeRandomLengthString(24);
    const QString name = QString::fromUtf8(nameBytes.data(), qsizetype(nameBytes.size()));
    const std::string contents = input.ConsumeRemainingBytesAsString();
    {
        QFile file(scratchFile());
        require(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "the scratch file can be written");
        file.write(contents.data(), qint64(contents.size()));
    }

    SettingsFile loaded(scratchFile());
    checkText(loaded.readText(name, QString()));
    loaded.readInteger(name, 0);
    const StoredDisplayState first = ReadStoredDisplayState(loaded);
    checkText(first.fontColour);
    checkText(first.fontName);
    checkText(first.backgroundImage);

    // Written once, the values are in the form a save keeps: from then on they survive unchanged.
    WriteStoredDisplayState(loaded, first);
    require(!loaded.save().has_value(), "a settings file saves into a writable directory");
    SettingsFile saved(scratchFile());
    const StoredDisplayState second = ReadStoredDisplayState(saved);
    WriteStoredDisplayState(saved, second);
    require(!saved.save().has_value(), "a settings file saves into a writable directory");
    require(ReadStoredDisplayState(SettingsFile(scratchFile())) == second, "saved values read back as written");
    return 0;
}
