#include "app/ShownCaptionFile.h"

#include "support/QtPrinters.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// A caption with every field set and text in all ten columns, column 3 shown.
ShownCaption sample() {
    ShownCaption shown;
    TCaptions& caption = shown.caption;
    caption.FontName = u"Liberation Serif"_s;
    caption.Size = u"Large"_s;
    for (int column = 0; column < CaptionColumnCount; ++column)
        caption.Caption[std::size_t(column)] = {u"Zeile %1 \u00e9\u4e2d\u0007\"\\"_s.arg(column),
                                                u"Lang%1"_s.arg(column)};
    caption.Effect = {u"Scroll Up"_s, u"Fade"_s, u"Slow"_s};
    caption.Act = u"2"_s;
    caption.Cue = u"47"_s;
    caption.Scene = u"3"_s;
    caption.Colour = u"$00FF00"_s;
    caption.BackColour = u"Blue"_s;
    caption.Comment = u"note"_s;
    caption.Justification = u"Left"_s;
    caption.VertJust = u"Top"_s;
    caption.Brightness = u"Dim"_s;
    caption.LanguageIndex = 3;
    shown.overallBrightness = u"80"_s;
    return shown;
}

TEST(ShownCaptionFileTest, KeepsTheRecordWithTheShownColumnsTextOnly) {
    const ShownCaption shown = sample();
    ShownCaption expected = shown;
    for (int column = 0; column < CaptionColumnCount; ++column) {
        if (column != 3)
            expected.caption.Caption[std::size_t(column)].Text.clear();
    }
    EXPECT_EQ(ShownCaptionFile::Decode(ShownCaptionFile::Encode(shown)), expected);
}

// The sample's file, its record changed as a damaged or foreign one might be.
QByteArray changed(const std::function<void(QJsonObject& file, QJsonObject& caption)>& change) {
    const QByteArray whole = ShownCaptionFile::Encode(sample());
    const qsizetype recordEnd = whole.indexOf('\n');
    QJsonObject file = QJsonDocument::fromJson(whole.left(recordEnd)).object();
    QJsonObject caption = file.value("caption"_L1).toObject();
    change(file, caption);
    if (!caption.isEmpty())
        file.insert("caption"_L1, caption);
    return QJsonDocument(file).toJson(QJsonDocument::Compact) + whole.mid(recordEnd);
}

struct DamagedCase {
    const char* name;
    QByteArray bytes;
};

TEST(ShownCaptionFileTest, DamagedOrForeignFilesHoldNoCaption) {
    const QByteArray whole = ShownCaptionFile::Encode(sample());
    const DamagedCase cases[] = {
        {"empty", QByteArray()},
        {"cut short in the record", whole.left(whole.indexOf('\n') / 2)},
        {"cut short in the text", whole.left(whole.size() - 1)},
        {"more after the text", whole + "x"},
        {"no text", whole.left(whole.indexOf('\n'))},
        {"not JSON", QByteArray("\x89PNG\r\n\x1a\n", 8)},
        {"an array", "[1, 2, 3]"},
        {"another program's", changed([](QJsonObject& file, QJsonObject&) { file["kind"_L1] = u"editor state"_s; })},
        {"a later version", changed([](QJsonObject& file, QJsonObject&) { file["version"_L1] = 2; })},
        {"no caption", changed([](QJsonObject& file, QJsonObject& caption) {
             file.remove("caption"_L1);
             caption = {};
         })},
        {"column 10", changed([](QJsonObject&, QJsonObject& caption) { caption["shownColumn"_L1] = 10; })},
        {"column -1", changed([](QJsonObject&, QJsonObject& caption) { caption["shownColumn"_L1] = -1; })},
        {"column 2.5", changed([](QJsonObject&, QJsonObject& caption) { caption["shownColumn"_L1] = 2.5; })},
        {"column as text", changed([](QJsonObject&, QJsonObject& caption) { caption["shownColumn"_L1] = u"3"_s; })},
        {"nine columns", changed([](QJsonObject&, QJsonObject& caption) {
             QJsonArray columns = caption["columns"_L1].toArray();
             columns.removeLast();
             caption["columns"_L1] = columns;
         })},
        {"a column's language a number", changed([](QJsonObject&, QJsonObject& caption) {
             QJsonArray columns = caption["columns"_L1].toArray();
             columns[3] = QJsonObject{{"language"_L1, 12}};
             caption["columns"_L1] = columns;
         })},
        {"a text length of -1", changed([](QJsonObject&, QJsonObject& caption) { caption["shownTextBytes"_L1] = -1; })},
        {"a font name an object",
         changed([](QJsonObject&, QJsonObject& caption) { caption["fontName"_L1] = QJsonObject(); })},
    };
    for (const DamagedCase& c : cases)
        EXPECT_FALSE(ShownCaptionFile::Decode(c.bytes).has_value()) << c.name;
}

TEST(ShownCaptionFileTest, FieldsLeftOutReadAsEmpty) {
    const QByteArray bytes = changed([](QJsonObject& file, QJsonObject& caption) {
        file.remove("overallBrightness"_L1);
        caption.remove("comment"_L1);
        caption.remove("speed"_L1);
    });
    const std::optional<ShownCaption> shown = ShownCaptionFile::Decode(bytes);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->overallBrightness, QString());
    EXPECT_EQ(shown->caption.Comment, QString());
    EXPECT_EQ(shown->caption.Effect.Speed, QString());
    EXPECT_EQ(shown->caption.Cue, u"47"_s);
}

} // namespace
