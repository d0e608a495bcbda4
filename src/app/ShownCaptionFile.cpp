#include "ShownCaptionFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLatin1StringView>
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
constexpr QLatin1StringView TextKey("text");
constexpr QLatin1StringView LanguageKey("language");
constexpr QLatin1StringView ShownColumnKey("shownColumn");

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
        TCaption& target = caption.Caption[std::size_t(index)];
        if (!readText(column.toObject(), TextKey, target.Text) ||
            !readText(column.toObject(), LanguageKey, target.Language))
            return false;
    }
    return true;
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
    const QJsonValue shownColumn = object.value(ShownColumnKey);
    const int column = shownColumn.toInt(-1);
    if (!shownColumn.isDouble() || column < 0 || column >= CaptionColumnCount || shownColumn.toDouble() != column)
        return std::nullopt;
    caption.LanguageIndex = column;
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
    record.insert(ShownColumnKey, caption.LanguageIndex);
    QJsonArray columns;
    for (int index = 0; index < CaptionColumnCount; ++index) {
        const TCaption& column = caption.Caption[std::size_t(index)];
        QJsonObject written{{LanguageKey, column.Language}};
        if (index == caption.LanguageIndex)
            written.insert(TextKey, column.Text);
        columns.append(written);
    }
    record.insert(ColumnsKey, columns);
    const QJsonObject file{
        {KindKey, Kind}, {VersionKey, Version}, {OverallBrightnessKey, shown.overallBrightness}, {CaptionKey, record}};
    return QJsonDocument(file).toJson(QJsonDocument::Compact);
}

std::optional<ShownCaption> Decode(const QByteArray& bytes) {
    if (bytes.size() > MaxBytes)
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject file = document.object();
    if (file.value(KindKey) != Kind || file.value(VersionKey) != Version || !file.value(CaptionKey).isObject())
        return std::nullopt;
    ShownCaption shown;
    if (!readText(file, OverallBrightnessKey, shown.overallBrightness))
        return std::nullopt;
    std::optional<TCaptions> caption = readCaption(file.value(CaptionKey).toObject());
    if (!caption)
        return std::nullopt;
    shown.caption = std::move(*caption);
    return shown;
}

} // namespace ShownCaptionFile
