#include "ToolProcess.h"
#include "support/CaptionDocumentBuilder.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QList<QByteArray> lines(const QByteArray& out) {
    QList<QByteArray> result = out.split('\n');
    EXPECT_EQ(result.takeLast(), QByteArray()) << "output ends in a line end";
    return result;
}

// A document as one line of standard input.
QByteArray line(const CaptionDocumentBuilder& document) {
    return document.xml().toUtf8() + '\n';
}

QJsonObject json(const QByteArray& line) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
    return document.object();
}

TEST(ConvertTest, PrintsOneDocumentPerMessage) {
    const ToolRun run = runTool({u"convert"_s, u"Hello\\r"_s, u"\\vRBagain\\r"_s, u"\\x0bI1it\\xE9\\vI0\\r\\vY"_s});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QList<QByteArray> documents = lines(run.out);
    ASSERT_EQ(documents.size(), 3);

    QString streams;
    for (int i = 0; i < 10; ++i)
        streams += u" Stream%1=\"Hello\" StrName%1=\"OutputColumnDetails[count].Language\""_s.arg(i);
    EXPECT_EQ(QString::fromUtf8(documents[0]),
              u"<Surtitles><Cue Scene=\"Scene 1\" Act=\"Act 1\"><Captions"_s + streams +
                  u"/><Font Size=\"40\" Name=\"Arial\" Colour=\"$00FFFF\" BackColour=\"Black\"/>"
                  u"<Effects InEffect=\"Caption\" OutEffect=\"Fade\" Justification=\"Left\"/><Comment/>"
                  u"<Language Name=\"OutputDevices[0].Language\"/></Cue></Surtitles>"_s);
    EXPECT_TRUE(documents[1].contains("Stream0=\"again\""));
    EXPECT_TRUE(documents[1].contains("Speed=\"96%\""));
    EXPECT_TRUE(documents[2].contains("Speed=\"96%\"")); // the rate carries over
    EXPECT_TRUE(documents[2].contains("Stream0=\"&lt;html>&lt;body>&lt;P "
                                      "align=&quot;center&quot;>&lt;i>it\xC3\xA9&lt;/i>&lt;/P>&lt;/body>&lt;/html>\""));
}

TEST(ConvertTest, TakesTheDisplaySettings) {
    ToolRun run = runTool({u"convert"_s, u"--base-font-height"_s, u"34"_s, u"--font-colour"_s, u"clRed"_s, u"x\\r"_s});
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains("<Font Size=\"34\" Name=\"Arial\" Colour=\"clRed\" BackColour=\"Black\"/>"));

    run = runTool({u"convert"_s, u"--font-override"_s, u"DejaVu Sans"_s, u"--font-adjust"_s, u"5000"_s, u"x\\r"_s});
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains("<Font Size=\"1000\" Name=\"DejaVu Sans\""));
}

TEST(ConvertTest, ControlCodesTravelInStoredForm) {
    const ToolRun run = runTool({u"convert"_s, u"one\\r\\ntwo\\r\\n"_s});
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains("Stream0=\"one&amp;#10;two\""));
}

struct UsageCase {
    const char* name;
    QStringList arguments;
};

class UsageErrorTest : public testing::TestWithParam<UsageCase> {};

TEST_P(UsageErrorTest, ExitsWithStatusTwoAndOneLine) {
    const ToolRun run = runTool(GetParam().arguments);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.endsWith('\n'));
}

INSTANTIATE_TEST_SUITE_P(Arguments, UsageErrorTest,
                         testing::ValuesIn(std::vector<UsageCase>{
                             {"NoCommand", {}},
                             {"UnknownCommand", {u"show"_s}},
                             {"UnknownOption", {u"convert"_s, u"--colour"_s, u"x"_s}},
                             {"MissingValue", {u"convert"_s, u"x"_s, u"--font-adjust"_s}},
                             {"NotANumber", {u"convert"_s, u"--base-font-height"_s, u"big"_s, u"x"_s}},
                             {"NoMessage", {u"convert"_s}},
                             {"UnknownEscape", {u"convert"_s, u"a\\qb"_s}},
                             {"ShortHexEscape", {u"convert"_s, u"a\\x4"_s}},
                             {"LoneBackslash", {u"convert"_s, u"a\\"_s}},
                             {"UnreadableFile", {u"inspect"_s, u"/nonexistent/caption.xml"_s}},
                             {"InspectOption", {u"inspect"_s, u"--frames"_s}},
                             {"RenderWithoutOutput", {u"render"_s, u"-"_s}},
                             {"RenderBadClient", {u"render"_s, u"-o"_s, u"x.png"_s, u"--client"_s, u"wide"_s}},
                             {"RenderUnreadableFile", {u"render"_s, u"-o"_s, u"x.png"_s, u"/nonexistent/a.xml"_s}},
                         }),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HelpTest, EveryLevelHasHelp) {
    for (const QStringList& arguments :
         {QStringList{u"--help"_s}, QStringList{u"convert"_s, u"--help"_s}, QStringList{u"inspect"_s, u"--help"_s}}) {
        const ToolRun run = runTool(arguments);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_TRUE(run.out.startsWith("Usage: veltrinox-caption")) << run.out.toStdString();
    }
}

TEST(InspectTest, ReadsStandardInputOneDocumentPerLine) {
    const QByteArray input = "<Surtitles><Cue Cue=\"1\"><Captions Stream0=\"first\" StrName0=\"English\"/>"
                             "<Effects VerticalJustification=\"Top\" OverallBrightness=\"80\"/>"
                             "<Language Name=\"English\"/></Cue></Surtitles>\r\n"
                             "\n"
                             "<Surtitles><Cue\n"
                             "<Surtitles><Cue Cue=\"2\"><Font Colour=\"Red\"/></Cue></Surtitles>\n";
    const ToolRun run = runTool({u"inspect"_s}, input);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QList<QByteArray> objects = lines(run.out);
    ASSERT_EQ(objects.size(), 3);

    const QJsonObject first = json(objects[0]);
    EXPECT_TRUE(first[u"parsed"_s].toBool());
    EXPECT_EQ(first[u"language"_s].toString(), u"English"_s);
    EXPECT_EQ(first[u"overallBrightness"_s].toString(), u"80"_s);
    const QJsonObject current = first[u"current"_s].toObject();
    EXPECT_EQ(current[u"Cue"_s].toString(), u"1"_s);
    EXPECT_EQ(current[u"Caption"_s].toArray().size(), 10);
    EXPECT_EQ(current[u"Caption"_s].toArray()[0].toObject()[u"Text"_s].toString(), u"first"_s);
    EXPECT_EQ(current[u"Caption"_s].toArray()[0].toObject()[u"Language"_s].toString(), u"English"_s);
    EXPECT_EQ(current[u"Effect"_s].toObject()[u"InEffect"_s].toString(), u"Instant"_s);
    EXPECT_EQ(current[u"LanguageIndex"_s].toInt(), 0);

    EXPECT_EQ(objects[1], QByteArray("{\"parsed\":false}"));

    const QJsonObject third = json(objects[2]);
    EXPECT_EQ(third[u"language"_s].toString(), QString());
    EXPECT_EQ(third[u"current"_s].toObject()[u"Colour"_s].toString(), u"Red"_s);
    EXPECT_EQ(third[u"current"_s].toObject()[u"VertJust"_s].toString(), u"Top"_s);
    EXPECT_EQ(third[u"previous"_s].toObject()[u"Cue"_s].toString(), u"1"_s);
}

struct ColumnCase {
    const char* name;
    QByteArray documents; // one a line
    QByteArray warnings;
};

class EmptyColumnTest : public testing::TestWithParam<ColumnCase> {};

TEST_P(EmptyColumnTest, InspectNamesADocumentThatShowsAnEmptyColumn) {
    const ToolRun run = runTool({u"inspect"_s}, GetParam().documents);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, GetParam().warnings);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, EmptyColumnTest,
    testing::ValuesIn(std::vector<ColumnCase>{
        {"NamedColumn", line(CaptionDocumentBuilder().english(u"Hi"_s)), ""},
        {"StreamZeroOnly", "<Surtitles><Cue\n" + line(CaptionDocumentBuilder().stream(0, u"Hi"_s)),
         "veltrinox-caption: document 2 shows column 9, the last without a language name, which is empty\n"},
        {"EmptyNamedColumn",
         line(CaptionDocumentBuilder().stream(0, u"Hi"_s).columnLanguage(1, u"English"_s).language(u"English"_s)),
         "veltrinox-caption: document 1 shows column 1, the last whose StrName is the Language Name \"English\", "
         "which is empty\n"},
        {"NoColumnOfTheLanguage", line(CaptionDocumentBuilder().stream(1, u"Hi"_s, u"English"_s).language(u"French"_s)),
         "veltrinox-caption: document 1 shows column 0, as no column's StrName is the Language Name \"French\", "
         "which is empty\n"},
        {"StagetextFillsEveryColumn", line(CaptionDocumentBuilder().everyStream(u"a"_s)), ""},
    }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InspectTest, KeepsTheRecordsKeyOrder) {
    const ToolRun run = runTool({u"inspect"_s}, "<Surtitles><Cue/></Surtitles>");
    const QByteArray line = run.out;
    const char* keys[] = {"\"parsed\"",     "\"language\"",   "\"overallBrightness\"",
                          "\"current\"",    "\"FontName\"",   "\"Size\"",
                          "\"Caption\"",    "\"Effect\"",     "\"Act\"",
                          "\"Cue\"",        "\"Scene\"",      "\"Colour\"",
                          "\"BackColour\"", "\"Comment\"",    "\"Justification\"",
                          "\"VertJust\"",   "\"Brightness\"", "\"LanguageIndex\"",
                          "\"previous\""};
    qsizetype at = 0;
    for (const char* key : keys) {
        const qsizetype next = line.indexOf(key, at);
        ASSERT_GE(next, at) << key;
        at = next;
    }
}

TEST(InspectTest, ReadsWholeFilesInTheirEncoding) {
    QTemporaryDir directory;
    const QString document = u"<?xml version=\"1.0\"?>\r\n<Surtitles><Cue><Captions Stream0=\"\u266A caf\u00E9\"/>"
                             u"</Cue></Surtitles>\r\n"_s;
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile file(directory.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    QByteArray utf16 = "\xFF\xFE";
    utf16.append(reinterpret_cast<const char*>(document.utf16()), document.size() * 2);
    const QString utf8File = write(u"a.xml"_s, document.toUtf8());
    const QString utf16File = write(u"b.xml"_s, utf16);
    const QString brokenFile = write(u"c.xml"_s, "<Surtitles>\r\n<Cue/>\r\n</Surtitles>");

    const ToolRun run = runTool({u"inspect"_s, utf8File, utf16File, brokenFile});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QList<QByteArray> objects = lines(run.out);
    ASSERT_EQ(objects.size(), 3);
    for (int i : {0, 1}) {
        const QJsonArray columns = json(objects[i])[u"current"_s].toObject()[u"Caption"_s].toArray();
        EXPECT_EQ(columns[0].toObject()[u"Text"_s].toString(), QString::fromUtf16(u"\u266A caf\u00E9"));
    }
    EXPECT_EQ(objects[2], QByteArray("{\"parsed\":false}"));
}

TEST(InspectTest, EscapesControlCharactersInTexts) {
    const ToolRun run =
        runTool({u"inspect"_s}, "<Surtitles><Cue><Captions Stream0=\"a&amp;#13;&amp;#10;&quot;b\"/></Cue></Surtitles>");
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains(R"("Text":"a\r\n\"b")")) << run.out.toStdString();
}

// A caption in yellow on the given background, fading in fast, as one line of standard input.
QByteArray captionOn(const QString& background) {
    return line(CaptionDocumentBuilder()
                    .english(u"Hello"_s)
                    .colours(u"Yellow"_s, background)
                    .effect(EntryEffect::Fade, u"Fast"_s));
}

const QByteArray BlueCaption = captionOn(u"Blue"_s);

TEST(RenderTest, WritesWhatTheWindowShowsAndEveryStep) {
    QTemporaryDir directory;
    const QString output = directory.filePath(u"out.png"_s);
    const QString frames = directory.filePath(u"frames"_s);
    const ToolRun run = runTool({u"render"_s, u"--client"_s, u"320x180"_s, u"-o"_s, output, u"--frames"_s, frames},
                                "not a document\n" + BlueCaption);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QImage picture(output);
    ASSERT_EQ(picture.size(), QSize(320, 180));
    EXPECT_EQ(picture.pixel(2, 2), qRgb(0, 0, 255));
    EXPECT_EQ(QDir(frames).entryList(QDir::Files).size(), 32); // 16 steps out, 16 in
    const QImage firstFrame(QDir(frames).filePath(u"frame-00001.png"_s));
    EXPECT_EQ(firstFrame.pixel(2, 2), qRgb(0, 0, 0));
}

TEST(RenderTest, StopsAfterTheStepsAsked) {
    QTemporaryDir directory;
    const QString output = directory.filePath(u"out.png"_s);
    const ToolRun run = runTool({u"render"_s, u"--steps"_s, u"20"_s, u"-o"_s, output}, BlueCaption);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QImage picture(output);
    EXPECT_EQ(picture.size(), QSize(960, 540));
    const QColor corner = picture.pixelColor(2, 2);
    EXPECT_GT(corner.blue(), 0); // part way through the fade-in
    EXPECT_LT(corner.blue(), 255);
}

TEST(RenderTest, TheBaseFontHeightIsTheWindowsUnlessGiven) {
    QTemporaryDir directory;
    const auto render = [&](const QStringList& options) {
        const QString output = directory.filePath(u"out.png"_s);
        const ToolRun run =
            runTool(QStringList{u"render"_s, u"--client"_s, u"320x180"_s, u"-o"_s, output} + options, BlueCaption);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return QImage(output);
    };
    const QImage byDefault = render({});
    EXPECT_EQ(byDefault, render({u"--base-font-height"_s, u"11"_s})); // 640 div 56, as the window has it
    EXPECT_NE(byDefault, render({u"--base-font-height"_s, u"22"_s}));
}

TEST(RenderTest, TransparentModeKeysOutTheBackground) {
    QTemporaryDir directory;
    const QString output = directory.filePath(u"out.png"_s);
    const QByteArray blackCaption = captionOn(u"Black"_s);
    const ToolRun run = runTool({u"render"_s, u"--transparent"_s, u"-o"_s, output}, blackCaption);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QImage picture(output);
    ASSERT_TRUE(picture.hasAlphaChannel());
    EXPECT_EQ(qAlpha(picture.pixel(2, 2)), 0);
    int opaque = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            opaque += qAlpha(picture.pixel(x, y)) == 255;
    }
    EXPECT_GT(opaque, 50); // the caption's letters
}

} // namespace
