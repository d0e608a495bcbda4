#include "presentation/Presenter.h"

#include "FakePresentationHost.h"
#include "presentation/ColourBlend.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QSize Client(200, 100); // display image 400 x 200

struct Document {
    QString text = u"Hello"_s;
    QString inEffect = u"Fade"_s;
    QString speed = u"Fast"_s;
    QString extraEffects;
    QString font = u"Colour=\"Yellow\" BackColour=\"Blue\" Size=\"12\""_s;
    QString captions;
    QString language;

    // Without explicit columns the text fills all ten, as a Stagetext caption does: with no language
    // named, the last column is the one shown.
    QString xml() const {
        QString columns = captions;
        for (int column = 0; captions.isEmpty() && column < 10; ++column)
            columns += u" Stream%1=\"%2\""_s.arg(column).arg(text);
        const QString languageElement = language.isEmpty() ? QString() : u"<Language Name=\"%1\"/>"_s.arg(language);
        return u"<Surtitles><Cue><Captions %1/><Font %2/><Effects InEffect=\"%3\" Speed=\"%4\" %5/>%6</Cue></Surtitles>"_s
            .arg(columns, font, inEffect, speed, extraEffects, languageElement);
    }
};

class PresenterTest : public testing::Test {
protected:
    PresenterTest() { presenter.resizeDisplay(Client); }

    void present(const Document& document) {
        presenter.enqueue(document.xml());
        presenter.ShowSurtitle();
    }

    // Steps until the display is idle with nothing queued; returns the number of steps.
    int runToIdle(int limit = 10000) {
        int steps = 0;
        while ((presenter.effectRunning() || presenter.queuedDocuments() > 0) && steps < limit) {
            presenter.AnimateTimerTimer();
            ++steps;
        }
        return steps;
    }

    QRgb visiblePixel(int x, int y) const {
        return presenter.displayImage().pixel(x - host.position.x(), y - host.position.y());
    }

    FakePresentationHost host;
    Presenter presenter{host};
};

TEST_F(PresenterTest, FadeOutThenInTakesTheStepsOfItsSpeed) {
    present({});
    EXPECT_EQ(presenter.effectState(), 2);
    EXPECT_EQ(runToIdle(), 32); // 16 steps out at "Fast", 16 in
    EXPECT_EQ(visiblePixel(1, 1), qRgb(0, 0, 255));
}

TEST_F(PresenterTest, FadeColoursBlendFromBlack) {
    Document document;
    document.speed = u"Medium"_s; // 32 a step: 32 steps each way
    present(document);
    for (int step = 0; step < 32; ++step)
        presenter.AnimateTimerTimer();
    EXPECT_EQ(presenter.effectState(), 1);
    presenter.AnimateTimerTimer(); // the first fade-in step: 1023 - 32 = 991 still to go
    const ColourValue background = ColourBlend(0xFF0000, Colour::Black, 991);
    EXPECT_EQ(visiblePixel(1, 1), qRgb(0, 0, int(background >> 16)));
    EXPECT_EQ(host.alpha, 991 * 255 / 1023);
}

TEST_F(PresenterTest, InstantAppearsInOneStep) {
    Document document;
    document.inEffect = u"Instant"_s;
    present(document);
    EXPECT_EQ(presenter.effectState(), 1);
    EXPECT_EQ(runToIdle(), 1);
    EXPECT_EQ(visiblePixel(1, 1), qRgb(0, 0, 255));
}

struct ScrollCase {
    const char* effect;
    QPoint start;  // where the set-up puts the image
    QPoint first;  // after the first of 16 steps
    QPoint middle; // after the eighth
    QPoint last;   // once the effect is over
};

class PresenterScrollTest : public PresenterTest, public testing::WithParamInterface<ScrollCase> {};

TEST_P(PresenterScrollTest, MovesTheImageStepByStep) {
    Document document;
    document.inEffect = QString::fromLatin1(GetParam().effect);
    present(document);
    EXPECT_EQ(host.position, GetParam().start);
    presenter.AnimateTimerTimer();
    EXPECT_EQ(host.position, GetParam().first);
    for (int step = 2; step <= 8; ++step)
        presenter.AnimateTimerTimer();
    EXPECT_EQ(host.position, GetParam().middle);
    EXPECT_EQ(runToIdle(), 8);
    EXPECT_EQ(host.position, GetParam().last);
    // The new caption is in view, on its own background.
    EXPECT_EQ(visiblePixel(1, 1), GetParam().effect == std::string("Scroll Up") ? qRgb(0, 0, 255) : qRgb(0, 0, 0));
}

// Distances: 100 pixels up and down (the visible height), 200 left and right (the visible width).
INSTANTIATE_TEST_SUITE_P(Effects, PresenterScrollTest,
                         testing::ValuesIn(std::vector<ScrollCase>{
                             {"Scroll Up", {0, 0}, {0, -6}, {0, -50}, {0, 0}},
                             {"Scroll Down", {0, -100}, {0, -93}, {0, -49}, {0, 0}},
                             {"Scroll Left", {0, 0}, {-13, 0}, {-101, 0}, {0, 0}},
                             {"Scroll Right", {-200, 0}, {-187, 0}, {-99, 0}, {0, 0}},
                         }),
                         [](const auto& info) { return std::string(info.param.effect).replace(6, 1, ""); });

TEST_F(PresenterTest, DocumentsWaitForTheRunningEffectAndKeepTheirOrder) {
    Document first;
    first.text = u"first"_s;
    Document second;
    second.text = u"second"_s;
    second.inEffect = u"Scroll Up"_s;
    present(first);
    presenter.enqueue(QString()); // an empty entry is dropped, never presented
    present(second);
    EXPECT_EQ(presenter.records().current.Caption[9].Text, u"first"_s);
    for (int step = 0; step < 31; ++step)
        presenter.AnimateTimerTimer();
    EXPECT_EQ(presenter.records().current.Caption[9].Text, u"first"_s);
    presenter.AnimateTimerTimer(); // the fade ends and the next document enters
    EXPECT_EQ(presenter.records().current.Caption[9].Text, u"second"_s);
    EXPECT_EQ(presenter.effectState(), 4);
    EXPECT_EQ(runToIdle(), 16);
}

TEST_F(PresenterTest, ChoosesTheColumnOfTheDocumentsLanguage) {
    struct Case {
        QString captions;
        QString language;
        int index;
    };
    const Case cases[] = {
        {u"Stream0=\"a\" StrName0=\"English\" Stream1=\"b\" StrName1=\"French\""_s, u"French"_s, 1},
        {u"Stream0=\"a\" StrName0=\"English\" Stream1=\"b\" StrName1=\"French\""_s, u"German"_s, 0},
        {u"Stream0=\"a\" StrName0=\"English\""_s, QString(), 9}, // the last column without a name
    };
    for (const Case& c : cases) {
        Document document;
        document.captions = c.captions;
        document.language = c.language;
        present(document);
        EXPECT_EQ(presenter.records().current.LanguageIndex, c.index) << c.language.toStdString();
        runToIdle();
    }
}

TEST_F(PresenterTest, SpecialTexts) {
    host.speed = u"50%"_s;
    Document document;
    document.text = u"{BLANK}"_s;
    document.inEffect = u"Scroll Left"_s;
    present(document);
    EXPECT_EQ(presenter.records().current.Effect, (TEffect{u"Fade"_s, QString(), u"Instant"_s}));
    EXPECT_EQ(presenter.records().current.Caption[9].Text, u" "_s);
    EXPECT_EQ(runToIdle(), 1);

    document.text = u"{CLEAR}"_s;
    present(document);
    EXPECT_EQ(presenter.records().current.Effect.InEffect, u"Scroll Up"_s);
    EXPECT_EQ(presenter.effectSpeed(), 32);
    EXPECT_EQ(runToIdle(), 32);

    const QImage before = presenter.displayImage();
    document.text = u"{EMPTY}"_s;
    present(document);
    EXPECT_FALSE(presenter.effectRunning());
    EXPECT_EQ(presenter.records().current.Effect.InEffect, u"IGNORE"_s);
    EXPECT_EQ(presenter.displayImage(), before);
}

TEST_F(PresenterTest, AnUnknownEffectDrawsNothingButReplacesTheCaption) {
    const QImage before = presenter.displayImage();
    Document document;
    document.inEffect = u"Dissolve"_s;
    present(document);
    EXPECT_FALSE(presenter.effectRunning());
    EXPECT_EQ(presenter.records().current.Effect.InEffect, u"Dissolve"_s);
    EXPECT_EQ(presenter.displayImage(), before);
}

TEST_F(PresenterTest, OverallBrightnessDimsTheCaption) {
    struct Case {
        const char16_t* overall;
        int level;
    };
    for (const Case& c : {Case{u"50", 127}, Case{u"150", 255}, Case{u"-20", 255}, Case{u"0", 0}}) {
        Document document;
        document.inEffect = u"Instant"_s;
        document.font = u"BackColour=\"White\""_s;
        document.extraEffects = u"OverallBrightness=\"%1\""_s.arg(QString::fromUtf16(c.overall));
        present(document);
        runToIdle();
        EXPECT_EQ(visiblePixel(1, 1), qRgb(c.level, c.level, c.level)) << QString::fromUtf16(c.overall).toStdString();
    }
}

TEST_F(PresenterTest, PresentingRunsAPendingBorderHiding) {
    host.borderPending = true;
    present({});
    EXPECT_EQ(host.borderHidings, 1);
}

TEST_F(PresenterTest, RollUpScrollsByTheLinesItAdds) {
    Canvas measure;
    measure.font.pointSize = 12;
    const int lineHeight = measure.textHeight();
    const int fitting = 100 / lineHeight;
    const int gap = (100 - fitting * lineHeight) / (fitting - 1);

    Document document;
    document.inEffect = u"Caption"_s;
    document.text = u"one"_s;
    present(document);
    EXPECT_EQ(presenter.scrollDistance(), lineHeight + gap);
    runToIdle();

    document.text = u"one&#13;&#10;two&#13;&#10;three&#13;&#10;four&#13;&#10;five&#13;&#10;six"_s;
    present(document);
    EXPECT_EQ(presenter.scrollDistance(), 100); // a block that fills the display scrolls it whole
}

TEST_F(PresenterTest, AFadeOverAStoppedScrollClearsWhatIsInView) {
    Document scroll;
    scroll.inEffect = u"Scroll Down"_s;
    scroll.speed = u"Slow"_s;
    present(scroll);
    presenter.AnimateTimerTimer();
    presenter.stopEffect(); // the border-hiding step stops the effect where it stands
    ASSERT_LT(host.position.y(), -50);

    Document fade;
    fade.inEffect = u"Instant"_s;
    fade.text = u" "_s;
    present(fade);
    runToIdle();
    // The view still shows the lower part of the image, cleared by the fade like the rest.
    EXPECT_EQ(visiblePixel(1, 90), qRgb(0, 0, 255));
    EXPECT_EQ(visiblePixel(150, 1), qRgb(0, 0, 255));
}

TEST_F(PresenterTest, AFadeLeavesNothingOfTheCaptionBefore) {
    Document first;
    first.text = u"The first caption, long and wide"_s;
    first.font = u"Colour=\"White\" BackColour=\"Black\" Size=\"12\""_s;
    Document second = first;
    second.text = u"Second"_s;
    second.captions = u"Stream9=\"&lt;html&gt;&lt;i&gt;Second&lt;/i&gt;&lt;/html&gt;\""_s;
    // Steps clear only what the step before drew: nothing of the first caption may remain.
    host.presentationSettings.antiAliased = true;
    present(first);
    present(second);
    runToIdle();

    FakePresentationHost freshHost;
    freshHost.presentationSettings.antiAliased = true;
    Presenter fresh(freshHost);
    fresh.resizeDisplay(Client);
    fresh.enqueue(second.xml());
    fresh.ShowSurtitle();
    while (fresh.effectRunning())
        fresh.AnimateTimerTimer();
    EXPECT_EQ(presenter.displayImage().copy(0, 0, 200, 100), fresh.displayImage().copy(0, 0, 200, 100));
}

} // namespace
