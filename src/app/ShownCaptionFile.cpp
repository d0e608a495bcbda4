#include "ShownCaptionFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLatin1StringView>
#include <algorithm>
#include <array>
#include <utility>

using namespace Qt::Literals::StringLiterals;

namespace ShownCaptionFile {

namespace {

const QString Kind = u"veltrinox-lcd shown caption"_s;
constexpr int Version = 1;

constexpr QLatin1StringView KindKey("kind");
constexpr QLatin1StringView VersionKey("version");
constexpr QLatin1StringView OverallBrightnessKey("overallBrightness");
constexpr QLatin1StringView CaptionKey("caption");
constexpr QLatin1StringView ColumnsKey("columns");
constexpr QLatin1StringView LanguageKey("language");
constexpr QLatin1StringView ShownColumnKey("shownColumn");
constexpr QLatin1StringView TextBytesKey("shownTextBytes");
constexpr char EndOfRecord = '\n'; // never in compact JSON, where line breaks in texts are escaped

// The record's text fields and their names in the file, one table for writing and reading.
using TextField = QString TCaptions::*;
using EffectField = QString TEffect::*;
const std::array<std::pair<QLatin1StringView, TextField>, 11> TextFields{{
    {"fontName"_L1, &TCaptions::FontName},
    {"size"_L1, &TCaptions::Size},
    {"act"_L1, &TCaptions::Act},
    {"cue"_L1, &TCaptions::Cue},
    {"scene"_L1, &TCaptions::Scene},
    {"colour"_L1, &TCaptions::Colour},
    {"backColour"_L1, &TCaptions::BackColour},
    {"comment"_L1, &TCaptions::Comment},
    {"justification"_L1, &TCaptions::Justification},
    {"vertJust"_L1, &TCaptions::VertJust},
    {"brightness"_L1, &TCaptions::Brightness},
}};
const std::array<std::pair<QLatin1StringView, EffectField>, 3> EffectFields{{
    {"inEffect"_L1, &TEffect::InEffect},
    {"outEffect"_L1, &TEffect::OutEffect},
    {"speed"_L1, &TEffect::Speed},
}};

// A text member of the file: absent reads as empty, anything but text is a damaged file.
bool readText(const QJsonObject& object, QLatin1StringView key, QString& text) {
    const QJsonValue value = object.value(key);
    if (value.isUndefined()) {
        text.clear();
        return true;
    }
    if (!value.isString())
        return false;
    text = value.toString();
    return true;
}

bool readColumns(const QJsonValue& value, TCaptions& caption) {
    const QJsonArray columns = value.toArray();
    if (!value.isArray() || columns.size() != CaptionColumnCount)
        return false;
    for (int index = 0; index < CaptionColumnCount; ++index) {
        const QJsonValue column = columns.at(index);
        if (!column.isObject())
            return false;
        if (!readText(column.toObject(), LanguageKey, caption.Caption[std::size_t(index)].Language))
            return false;
    }
    return true;
}

// A whole number in 0..limit, or nothing.
std::optional<qint64> readCount(const QJsonValue& value, qint64 limit) {
    const double number = value.toDouble(-1);
    if (!value.isDouble() || number < 0 || number > double(limit) || number != double(qint64(number)))
        return std::nullopt;
    return qint64(number);
}

std::optional<TCaptions> readCaption(const QJsonObject& object) {
    TCaptions caption;
    for (const auto& [key, field] : TextFields) {
        if (!readText(object, key, caption.*field))
            return std::nullopt;
    }
    for (const auto& [key, field] : EffectFields) {
        if (!readText(object, key, caption.Effect.*field))
            return std::nullopt;
    }
    const std::optional<qint64> column = readCount(object.value(ShownColumnKey), CaptionColumnCount - 1);
    if (!column)
        return std::nullopt;
    caption.LanguageIndex = qint32(*column);
    if (!readColumns(object.value(ColumnsKey), caption))
        return std::nullopt;
    return caption;
}

} // namespace

QByteArray Encode(const ShownCaption& shown) {
    const TCaptions& caption = shown.caption;
    QJsonObject record;
    for (const auto& [key, field] : TextFields)
        record.insert(key, caption.*field);
    for (const auto& [key, field] : EffectFields)
        record.insert(key, caption.Effect.*field);
    const int shownColumn = std::clamp(caption.LanguageIndex, 0, CaptionColumnCount - 1);
    record.insert(ShownColumnKey, shownColumn);
    QJsonArray columns;
    for (const TCaption& column : caption.Caption)
        columns.append(QJsonObject{{LanguageKey, column.Language}});
    record.insert(ColumnsKey, columns);
    const QByteArray text = caption.Caption[std::size_t(shownColumn)].Text.toUtf8();
    record.insert(TextBytesKey, qint64(text.size()));
    const QJsonObject file{
        {KindKey, Kind}, {VersionKey, Version}, {OverallBrightnessKey, shown.overallBrightness}, {CaptionKey, record}};
    return QJsonDocument(file).toJson(QJsonDocument::Compact) + EndOfRecord + text;
}

std::optional<ShownCaption> Decode(const QByteArray& bytes) {
    const qsizetype recordEnd = bytes.indexOf(EndOfRecord);
    if (bytes.size() > MaxBytes || recordEnd < 0)
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes.left(recordEnd), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject file = document.object();
    if (file.value(KindKey) != Kind || file.value(VersionKey) != Version || !file.value(CaptionKey).isObject())
        return std::nullopt;
    ShownCaption shown;
    if (!readText(file, OverallBrightnessKey, shown.overallBrightness))
        return std::nullopt;
    const QJsonObject record = file.value(CaptionKey).toObject();
    std::optional<TCaptions> caption = readCaption(record);
    // A file cut short, or with more after the text, is damaged.
    const qint64 textBytes = bytes.size() - recordEnd - 1;
    if (!caption || readCount(record.value(TextBytesKey), MaxBytes) != textBytes)
        return std::nullopt;
    shown.caption = std::move(*caption);
    shown.caption.Caption[std::size_t(shown.caption.LanguageIndex)].Text =
        QString::fromUtf8(bytes.constData() + recordEnd + 1, textBytes);
    return shown;
}

} // namespace ShownCaptionFile
