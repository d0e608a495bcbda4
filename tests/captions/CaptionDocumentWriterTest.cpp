#include "captions/CaptionDocumentWriter.h"

#include "captions/CaptionDocumentReader.h"
#include "captions/XmlDocument.h"
#include "support/QtPrinters.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

TCaptions stagetextShapedCaption(const QString& text) {
    TCaptions caption;
    caption.FontName = u"Arial"_s;
    caption.Size = u"40"_s;
    caption.Effect = {u"Caption"_s, u"Fade"_s, u"96%"_s};
    caption.Justification = u"Left"_s;
    caption.Act = u"Act 1"_s;
    caption.Scene = u"Scene 1"_s;
    caption.Colour = u"$00FFFF"_s;
    caption.BackColour = u"Black"_s;
    for (TCaption& column : caption.Caption)
        column.Text = text;
    return caption;
}

// The ten columns of a Stagetext caption: stream in the first, repeated in the others unless said.
QString expectedCaptions(const QString& stream, const std::optional<QString>& repeated = std::nullopt) {
    QString attributes;
    for (int i = 0; i < 10; ++i)
        attributes += u" Stream%1=\"%2\" StrName%1=\"OutputColumnDetails[count].Language\""_s.arg(i).arg(
            i == 0 ? stream : repeated.value_or(stream));
    return u"<Captions"_s + attributes + u"/>"_s;
}

TEST(CaptiontoXMLTest, WritesAttributesInOrderAndLeavesOutEmptyValues) {
    const CaptionDocumentText document = CaptiontoXML(stagetextShapedCaption(u"Hello"_s));
    ASSERT_TRUE(document.ok());
    EXPECT_EQ(document.text,
              u"<Surtitles><Cue Scene=\"Scene 1\" Act=\"Act 1\">"_s + expectedCaptions(u"Hello"_s) +
                  u"<Font Size=\"40\" Name=\"Arial\" Colour=\"$00FFFF\" BackColour=\"Black\"/>"
                  u"<Effects InEffect=\"Caption\" OutEffect=\"Fade\" Speed=\"96%\" Justification=\"Left\"/>"
                  u"<Comment/><Language Name=\"OutputDevices[0].Language\"/></Cue></Surtitles>"_s);
}

TEST(CaptiontoXMLTest, WritesEveryFieldThatIsSet) {
    TCaptions caption = stagetextShapedCaption(u"x"_s);
    caption.Cue = u"12"_s;
    caption.VertJust = u"Top"_s;
    caption.Brightness = u"95%"_s;
    caption.Comment = u"note"_s;
    const QString text = CaptiontoXML(caption).text;
    EXPECT_TRUE(text.startsWith(u"<Surtitles><Cue Scene=\"Scene 1\" Act=\"Act 1\" Cue=\"12\">"_s));
    EXPECT_TRUE(text.contains(u"<Effects InEffect=\"Caption\" OutEffect=\"Fade\" Speed=\"96%\" Justification=\"Left\" "
                              u"VerticalJustification=\"Top\" Brightness=\"95%\"/><Comment Text=\"note\"/>"_s));
}

TEST(CaptiontoXMLTest, EmptyColumnsAreWrittenAsOneSpace) {
    const QString text = CaptiontoXML(stagetextShapedCaption(QString())).text;
    EXPECT_TRUE(text.contains(expectedCaptions(u" "_s)));
}

TEST(CaptiontoXMLTest, ColumnsTravelInStoredForm) {
    const QString text = CaptiontoXML(stagetextShapedCaption(u"one\ntwo & <three>"_s)).text;
    EXPECT_TRUE(text.contains(u"Stream0=\"one&amp;#10;two &amp; &lt;three>\""_s));
}

TEST(CaptiontoXMLTest, WrittenDocumentsReadBack) {
    TCaptions written = stagetextShapedCaption(u"line one\r\nline \u266A two & more"_s);
    written.Comment = u"c"_s;
    written.Brightness = u"50%"_s;
    CaptionDocumentState state;
    ASSERT_EQ(ReadCaptionDocument(CaptiontoXML(written).text, state), u"OutputDevices[0].Language"_s);

    TCaptions expected = written;
    for (TCaption& column : expected.Caption)
        column.Language = u"OutputColumnDetails[count].Language"_s;
    EXPECT_EQ(state.current, expected);
}

// A caption whose column texts name a two-byte picture file.
class NamedPictureTest : public testing::Test {
protected:
    void SetUp() override {
        QFile file(picture);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("BM");
    }

    QTemporaryDir directory;
    const QString picture = directory.filePath(u"p.bmp"_s);
};

TEST_F(NamedPictureTest, FillsExistingChildrenAndLeavesFilesAloneWithoutTheFilter) {

    XmlDocument document;
    pugi::xml_node cue = document.createDocumentElement("Cue");
    pugi::xml_node font = cue.append_child("Font");
    setAttributeText(font, "Extra", u"kept");
    ASSERT_TRUE(CaptionDataToNode(cue, stagetextShapedCaption(picture), FileFilter::Off).isEmpty());

    EXPECT_EQ(cue.child("Font"), font);
    EXPECT_EQ(attributeText(font, "Extra"), u"kept"_s);
    EXPECT_EQ(attributeText(cue.child("Captions"), "Stream3"), picture);
}

TEST_F(NamedPictureTest, EmbedsNamedFilesWithTheFilter) {

    const QString text = CaptiontoXML(stagetextShapedCaption(picture)).text;
    EXPECT_TRUE(text.contains(expectedCaptions(u"#IMAGE:#Qk0="_s, u" "_s))); // a picture is carried once
}

TEST(AddAttributesToNodeTest, SetsNothingForAnEmptyNameOrValue) {
    XmlDocument document;
    pugi::xml_node node = document.createDocumentElement("n");
    EXPECT_FALSE(AddAttributesToNode(node, "a", u""));
    EXPECT_FALSE(AddAttributesToNode(node, "", u"v"));
    EXPECT_TRUE(AddAttributesToNode(node, "b", u" "));
    EXPECT_EQ(document.text(), u"<n b=\" \"/>"_s);
}

} // namespace
