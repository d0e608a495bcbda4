#pragma once

#include "SettingsStorage.h"

#include <QString>
#include <memory>
#include <optional>

// What a failed save of a settings file tells the operator: "Unable to write to <file name>".
struct SettingsFileError {
    QString message;
};

// A settings file the operator saves and loads from the pop-up menu: an INI file whose section
// "Display" holds the same named values as the per-user store, one "name=value" line each, as the
// Windows profile-string functions write them. The whole file is read on construction and kept in
// memory; writes change only that copy until save(). Other sections and keys, with the comments above
// them, survive a save, and so do the file's line ends (CR LF or LF) and its UTF-8 byte order mark.
//
// Text in the file is UTF-8. A value that is not valid UTF-8 comes from a Windows program writing in
// its ANSI code page, and is read as Windows-1252. Section and key names match in any letter case, as with
// the Windows functions. Reads never fail: a missing or unreadable file reads as one without keys,
// and a missing key or a value that cannot be read gives the caller's default; a file without the
// display's values reads FileDefaults.
class SettingsFile final : public SettingsStorage {
public:
    // The most characters a text read gives: longer values are cut there, as the Windows functions cut
    // them to fit a buffer of 2048 characters.
    static constexpr qsizetype MaxTextLength = 2047;

    explicit SettingsFile(QString fileName);
    ~SettingsFile() override;
    SettingsFile(SettingsFile&&) noexcept;
    SettingsFile& operator=(SettingsFile&&) noexcept;

    const QString& fileName() const { return m_fileName; }

    // Blanks, an optional sign, then hexadecimal digits after "0x" or "0X", else decimal digits, and
    // blanks after them. Any other value ("12abc", "800px"), or a number too large for 32 bits, gives
    // the default.
    int readInteger(const QString& name, int fallback) const override;
    // An integer read with the default 1 or 0: true when it is not 0.
    bool readBoolean(const QString& name, bool fallback) const override;
    // At most MaxTextLength characters, never ending in half a surrogate pair. Blanks around a value
    // do not belong to it.
    QString readText(const QString& name, const QString& fallback) const override;

    // Whether section "Display" holds the key.
    bool contains(const QString& name) const;

    const StoredDisplayState& defaults() const override { return FileDefaults; }

    // In decimal.
    void writeInteger(const QString& name, int value) override;
    // As "1" or "0".
    void writeBoolean(const QString& name, bool value) override;
    // The text as it is, except that each line break becomes a blank: a value is one line.
    void writeText(const QString& name, const QString& value) override;
    // The key goes, with the comment above it.
    void remove(const QString& name) override;

    // Writes the whole file through a temporary file in the same directory that then replaces it, so
    // a failed save leaves the file as it was. A file with hard links or of another owner, and a file
    // in a folder where no temporary file can be made, is written in place: it keeps its links and
    // owner, and the operator can save where they may write the file only.
    [[nodiscard]] std::optional<SettingsFileError> save() const;

private:
    struct Document;

    QString m_fileName;
    std::unique_ptr<Document> m_document;
};
