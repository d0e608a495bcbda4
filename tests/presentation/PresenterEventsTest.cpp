#include "FakePresentationHost.h"
#include "presentation/Presenter.h"
#include "support/CaptionDocumentBuilder.h"

#include <QByteArray>
#include <gtest/gtest.h>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

class RecordedEvents : public PresentationEvents {
public:
    std::vector<PresentedDocument> documents;
    QStringList warnings;

    void documentPresented(const PresentedDocument& document) override { documents.push_back(document); }
    void presentationWarning(const QString& message) override { warnings.append(message); }
};

// A cue that shows its French column, fading in slowly.
CaptionDocumentBuilder frenchCue(const QString& cue) {
    return CaptionDocumentBuilder().cue(cue).language(u"French"_s).effect(EntryEffect::Fade, u"Slow"_s);
}

class PresenterEventsTest : public testing::Test {
protected:
    PresenterEventsTest() {
        presenter.resizeDisplay(QSize(200, 100));
        presenter.setEvents(&events);
    }

    void presentToEnd(const QString& document) {
        presenter.enqueue(document);
        presenter.ShowSurtitle();
        for (int step = 0; step < 10000 && presenter.effectRunning(); ++step)
            presenter.AnimateTimerTimer();
    }

    FakePresentationHost host;
    Presenter presenter{host};
    RecordedEvents events;
};

TEST_F(PresenterEventsTest, EachDocumentIsToldWithItsChosenColumn) {
    const QString shown = u"Bonjour à tous, line one\r\nline two"_s;
    const QString document = frenchCue(u"47"_s)
                                 .stream(0, u"Hello"_s, u"English"_s)
                                 .stream(1, u"Bonjour à tous, line one&#13;&#10;line two"_s, u"French"_s)
                                 .xml();
    presentToEnd(document);
    presentToEnd(u"<Surtitles><Cue"_s);
    presentToEnd(frenchCue(u"48"_s).specialText(0, SpecialText::Blank).columnLanguage(0, u"French"_s).xml());

    ASSERT_EQ(events.documents.size(), 3u);
    const PresentedDocument& first = events.documents[0];
    EXPECT_TRUE(first.parsed);
    EXPECT_EQ(first.characters, document.size());
    EXPECT_EQ(first.cue, u"47"_s);
    EXPECT_EQ(first.column, 1);
    EXPECT_EQ(first.language, u"French"_s);
    EXPECT_EQ(first.entryEffect, u"Fade"_s);
    EXPECT_EQ(first.textStart, shown);
    EXPECT_TRUE(first.specialText.isEmpty());
    EXPECT_FALSE(events.documents[1].parsed);
    EXPECT_EQ(events.documents[2].specialText, u"{BLANK}"_s);
    EXPECT_TRUE(events.warnings.isEmpty()) << events.warnings.join(u'\n').toStdString();
}

TEST_F(PresenterEventsTest, AnEmptyColumnAndARefusedPictureAreWarnedOfOnce) {
    presentToEnd(frenchCue(u"1"_s).stream(0, u"Hello"_s, u"English"_s).columnLanguage(1, u"French"_s).xml());
    // A bitmap cut off before its pixels, faded in over many steps.
    const QString picture = u"#IMAGE:#"_s + QString::fromLatin1(QByteArray("BM\0\0\0\0\0\0\0\0", 10).toBase64());
    presentToEnd(frenchCue(u"2"_s).stream(0, picture, u"French"_s).xml());

    ASSERT_EQ(events.warnings.size(), 2) << events.warnings.join(u'\n').toStdString();
    EXPECT_TRUE(events.warnings[0].contains(u"column 1 of cue \"1\" is empty"_s)) << events.warnings[0].toStdString();
    EXPECT_TRUE(events.warnings[1].contains(u"picture of cue \"2\" was refused: its pixel rows run past"_s))
        << events.warnings[1].toStdString();
}

} // namespace
