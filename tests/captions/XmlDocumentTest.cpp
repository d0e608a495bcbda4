#include "captions/XmlDocument.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

struct WellFormedCase {
    const char* name;
    const char16_t* text;
    bool parsed;
};

class XmlDocumentLoadTest : public testing::TestWithParam<WellFormedCase> {};

TEST_P(XmlDocumentLoadTest, AcceptsOnlyWellFormedDocuments) {
    XmlDocument document;
    const auto status = document.load(QStringView(GetParam().text));
    EXPECT_EQ(status == XmlDocument::ParseStatus::Parsed, GetParam().parsed);
    if (!GetParam().parsed) {
        EXPECT_FALSE(document.documentElement());
    }
}

INSTANTIATE_TEST_SUITE_P(Documents, XmlDocumentLoadTest,
                         testing::ValuesIn(std::vector<WellFormedCase>{
                             {"Plain", u"<a x=\"1\"><b/></a>", true},
                             {"DeclarationAndComment", u"<?xml version=\"1.0\"?><!-- c --><a/>\r\n", true},
                             {"PredefinedAndCharacterReferences",
                              u"<a x=\"&lt;&gt;&amp;&apos;&quot;&#65;&#x42;\">&amp;</a>", true},
                             {"Empty", u"", false},
                             {"Unclosed", u"<a><b></a>", false},
                             {"TwoRoots", u"<a/><b/>", false},
                             {"TextAfterRoot", u"<a/>text", false},
                             {"DuplicateAttribute", u"<a x=\"1\" x=\"2\"/>", false},
                             {"UndefinedEntity", u"<a x=\"&foo;\"/>", false},
                             {"BareAmpersand", u"<a x=\"a&b\"/>", false},
                             {"LessThanInValue", u"<a x=\"a<b\"/>", false},
                             {"EntityFromDtdIsNotExpanded", u"<!DOCTYPE a [<!ENTITY e \"zz\">]><a x=\"&e;\"/>", false},
                             {"UndefinedEntityInContent", u"<a>&nbsp;</a>", false},
                             {"NulReference", u"<a x=\"&#0;\"/>", false},
                             {"ControlCharacterReference", u"<a x=\"&#1;\"/>", false},
                             {"ControlCharacter", u"<a x=\"\u0001\"/>", false},
                             {"UnpairedSurrogate", u"<a x=\"\xD800\"/>", false},
                             {"PairedSurrogate", u"<a x=\"\xD83C\xDFB5\"/>", true},
                         }),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(XmlDocumentTest, ResolvesReferencesAndNormalisesWhitespaceInValues) {
    XmlDocument document;
    ASSERT_EQ(document.load(u"<a x=\"&lt;i&gt; &amp;#13; &#233;\" y=\"one\ttwo\nthree\" z=\"&#10;\"/>"),
              XmlDocument::ParseStatus::Parsed);
    const pugi::xml_node a = document.documentElement();
    EXPECT_EQ(attributeText(a, "x"), QString::fromUtf16(u"<i> &#13; \u00E9"));
    EXPECT_EQ(attributeText(a, "y"), QStringLiteral("one two three"));
    EXPECT_EQ(attributeText(a, "z"), QStringLiteral("\n"));
    EXPECT_EQ(attributeText(a, "missing"), QString());
}

TEST(XmlDocumentTest, NullCharacterEndsNothingEarly) {
    XmlDocument document;
    const char16_t text[] = u"<a/>\u0000<b/>";
    EXPECT_EQ(document.load(QStringView(text, 9)), XmlDocument::ParseStatus::NotWellFormed);
}

TEST(XmlDocumentTest, WritesTheCompactForm) {
    XmlDocument document;
    pugi::xml_node root = document.createDocumentElement("PC_Display");
    setAttributeText(root, "B", u"2");
    setAttributeText(root, "A", u"x&<\"y");
    setAttributeText(root, "B", u"3"); // keeps its first place
    pugi::xml_node child = findOrAppendChild(root, "Child");
    EXPECT_EQ(findOrAppendChild(root, "Child"), child);
    EXPECT_EQ(document.text(), QStringLiteral("<PC_Display B=\"3\" A=\"x&amp;&lt;&quot;y\"><Child/></PC_Display>"));

    document.createDocumentElement("Other");
    EXPECT_EQ(document.text(), QStringLiteral("<Other/>"));
}

TEST(XmlDocumentTest, WrittenTextReadsBack) {
    XmlDocument written;
    setAttributeText(written.createDocumentElement("r"), "v", QString::fromUtf16(u"&#13; <b> \"q\" \u266A"));
    XmlDocument read;
    ASSERT_EQ(read.load(written.text()), XmlDocument::ParseStatus::Parsed);
    EXPECT_EQ(attributeText(read.documentElement(), "v"), QString::fromUtf16(u"&#13; <b> \"q\" \u266A"));
}

TEST(XmlDocumentTest, DeepNestingCostsNoStack) {
    QString text;
    const int depth = 100000;
    for (int i = 0; i < depth; ++i)
        text += u"<d x=\"&amp;\">";
    for (int i = 0; i < depth; ++i)
        text += u"</d>";
    XmlDocument document;
    EXPECT_EQ(document.load(text), XmlDocument::ParseStatus::Parsed);
}

} // namespace
