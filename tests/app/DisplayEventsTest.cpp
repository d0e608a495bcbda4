#include "app/DisplayEvents.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

PresentedDocument parsed(const QString& text, qsizetype characters = -1) {
    PresentedDocument document;
    document.characters = 900;
    document.parsed = true;
    document.cue = u"47"_s;
    document.column = 1;
    document.language = u"French"_s;
    document.entryEffect = u"Fade"_s;
    document.textCharacters = characters < 0 ? text.size() : characters;
    document.textStart = text.first(std::min(text.size(), PresentedDocument::TextStartLength));
    return document;
}

TEST(DescribeDocumentTest, SaysWhatTheDocumentShowed) {
    PresentedDocument dropped;
    dropped.characters = 57;
    PresentedDocument longNames = parsed(u"A"_s);
    longNames.cue = QString(1000, u'7');
    longNames.entryEffect = QString(61, u'F');
    PresentedDocument special = parsed(u"{BLANK}"_s);
    special.specialText = u"{BLANK}"_s;
    const QString longText(100, u'x');
    const struct {
        PresentedDocument document;
        QString line;
    } cases[] = {
        {dropped, u"document of 57 characters does not parse: dropped"_s},
        {parsed(u"Bonjour"_s),
         u"document of 900 characters: cue \"47\", column 1 \"French\", effect \"Fade\", text \"Bonjour\""_s},
        {parsed(longText), u"document of 900 characters: cue \"47\", column 1 \"French\", effect \"Fade\", text \""_s +
                               QString(60, u'x') + u"\"..."_s},
        {longNames, u"document of 900 characters: cue \""_s + QString(60, u'7') +
                        u"\"..., column 1 \"French\", effect \""_s + QString(60, u'F') + u"\"..., text \"A\""_s},
        {special,
         u"document of 900 characters: cue \"47\", column 1 \"French\", effect \"Fade\", special {BLANK}, text \"{BLANK}\""_s},
        {parsed(u"#IMAGE:#Qk0AAf8="_s, 4000000),
         u"document of 900 characters: cue \"47\", column 1 \"French\", effect \"Fade\", text picture of 4000000 characters"_s},
    };
    for (const auto& [document, line] : cases)
        EXPECT_EQ(DescribeDocument(document), line);
}

} // namespace
