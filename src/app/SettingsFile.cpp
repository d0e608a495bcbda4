#include "SettingsFile.h"

#include "captions/AnsiCodePage.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <limits>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

// The packaged SimpleIni is a compiled library whose char instantiation keeps the file's bytes as
// they are; Qt decodes them, so the header needs none of its own conversion layers.
#define SI_NO_CONVERSION
#include <SimpleIni.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr char Section[] = "Display";
constexpr QByteArrayView Utf8ByteOrderMark = "\xEF\xBB\xBF";

bool isDigitInBase(char c, int base) {
    if (c >= '0' && c <= '9')
        return true;
    return base == 16 && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'));
}

// A value that is a whole number: blanks, an optional sign, then hexadecimal digits after "0x" or
// decimal digits, then nothing but blanks. "800px" is no number, as in the per-user store.
std::optional<int> wholeNumber(QByteArrayView text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    int base = 10;
    // A "0x" without a hexadecimal digit after it is the decimal number 0 followed by a stranger.
    if (i + 2 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
        isDigitInBase(text[i + 2], 16)) {
        base = 16;
        i += 2;
    }
    qsizetype end = i;
    while (end < text.size() && isDigitInBase(text[end], base))
        ++end;
    if (end == i)
        return std::nullopt;
    for (qsizetype rest = end; rest < text.size(); ++rest) {
        if (text[rest] != ' ' && text[rest] != '\t')
            return std::nullopt;
    }
    bool ok = false;
    const qlonglong magnitude = text.sliced(i, end - i).toByteArray().toLongLong(&ok, base);
    const qlonglong value = negative ? -magnitude : magnitude;
    if (!ok || value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

// Replacing a file by a new one would leave its other names (hard links) with the old text, and
// would give a file of someone else's to whoever saves: such a file is written in place instead.
bool mustWriteInPlace(const QString& fileName) {
    struct stat status {};
    if (::stat(QFile::encodeName(fileName).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    return status.st_nlink > 1 || status.st_uid != ::geteuid();
}

QString textOf(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() ? AnsiCodePage::toUnicode(bytes) : text;
}

} // namespace

struct SettingsFile::Document {
    Document() {
        // "name=value" without blanks around "=", as the Windows functions write it.
        ini.SetSpaces(false);
        ini.SetUnicode(true);
    }

    void load(const QByteArray& bytes) {
        byteOrderMark = bytes.startsWith(Utf8ByteOrderMark);
        if (const qsizetype lineFeed = bytes.indexOf('\n'); lineFeed >= 0)
            crLf = lineFeed > 0 && bytes[lineFeed - 1] == '\r';
        if (ini.LoadData(bytes.constData(), size_t(bytes.size())) < 0)
            ini.Reset();
    }

    const char* value(const QString& name) const { return ini.GetValue(Section, name.toUtf8().constData(), nullptr); }

    void setValue(const QString& name, const QByteArray& value) {
        ini.SetValue(Section, name.toUtf8().constData(), value.constData());
    }

    CSimpleIniA ini;
    bool byteOrderMark = false;
    // Whether lines end in CR LF rather than LF. A new file takes CR LF, the line end of the Windows
    // tools that may read it; the Windows functions and this class read either.
    bool crLf = true;
};

SettingsFile::SettingsFile(QString fileName)
    : m_fileName(std::move(fileName)), m_document(std::make_unique<Document>()) {
    QFile file(m_fileName);
    if (file.open(QIODevice::ReadOnly))
        m_document->load(file.readAll());
}

SettingsFile::~SettingsFile() = default;
SettingsFile::SettingsFile(SettingsFile&&) noexcept = default;
SettingsFile& SettingsFile::operator=(SettingsFile&&) noexcept = default;

int SettingsFile::readInteger(const QString& name, int fallback) const {
    const char* value = m_document->value(name);
    if (value == nullptr)
        return fallback;
    return wholeNumber(value).value_or(fallback);
}

bool SettingsFile::readBoolean(const QString& name, bool fallback) const {
    return readInteger(name, fallback ? 1 : 0) != 0;
}

bool SettingsFile::contains(const QString& name) const {
    return m_document->value(name) != nullptr;
}

QString SettingsFile::readText(const QString& name, const QString& fallback) const {
    const char* value = m_document->value(name);
    if (value == nullptr)
        return fallback;
    QString text = textOf(value);
    if (text.size() > MaxTextLength) {
        text.truncate(MaxTextLength);
        if (text.back().isHighSurrogate())
            text.chop(1);
    }
    return text;
}

void SettingsFile::writeInteger(const QString& name, int value) {
    m_document->setValue(name, QByteArray::number(value));
}

void SettingsFile::writeBoolean(const QString& name, bool value) {
    m_document->setValue(name, value ? "1"_ba : "0"_ba);
}

void SettingsFile::writeText(const QString& name, const QString& value) {
    QString line = value;
    line.replace(u'\r', u' ').replace(u'\n', u' ');
    m_document->setValue(name, line.toUtf8());
}

void SettingsFile::remove(const QString& name) {
    m_document->ini.Delete(Section, name.toUtf8().constData(), true);
}

std::optional<SettingsFileError> SettingsFile::save() const {
    const SettingsFileError failure{u"Unable to write to %1"_s.arg(m_fileName)};
    std::string text;
    if (m_document->ini.Save(text, m_document->byteOrderMark) < 0)
        return failure;
    // SimpleIni ends every line, comments included, with a bare line feed.
    QByteArray bytes = QByteArray::fromStdString(text);
    if (m_document->crLf)
        bytes.replace('\n', "\r\n");

    // The explicit flush matters: commit() would rename a temporary file whose buffered tail failed
    // to reach the disk (QTBUG-75077). Left uncommitted, the temporary file is removed.
    if (mustWriteInPlace(m_fileName)) {
        QFile file(m_fileName);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() ||
            !file.flush())
            return failure;
        return std::nullopt;
    }
    QSaveFile file(m_fileName);
    // A file the operator may write, in a folder where no temporary file can be made, is written in
    // place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() || !file.commit())
        return failure;
    return std::nullopt;
}
