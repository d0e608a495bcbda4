#include "presentation/Presenter.h"

#include "FakePresentationHost.h"
#include "presentation/ColourBlend.h"
#include "support/CaptionDocumentBuilder.h"
#include "support/ImageProbes.h"
#include "support/QtPrinters.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QSize Client(200, 100); // display image 400 x 200
using State = Presenter::AnimationState;

struct Document {
    QString text = u"Hello"_s;
    QString inEffect = u"Fade"_s;
    QString speed = u"Fast"_s;
    QString extraEffects;
    QString font = u"Colour=\"Yellow\" BackColour=\"Blue\" Size=\"12\""_s;
    std::optional<CaptionDocumentBuilder> columns;
    QString language;

    // Without columns of its own the text fills all ten, as a Stagetext caption does: with no language
    // named, the last column is the one shown.
    QString xml() const {
        return columns.value_or(CaptionDocumentBuilder().everyStream(text))
            .language(language)
            .fontAttributes(font)
            .effect(inEffect, speed)
            .effectsAttributes(extraEffects)
            .xml();
    }
};

// A document with the given text and entry effect, and its own font attributes when given.
Document documentOf(const QString& text, const QString& inEffect = u"Fade"_s, const QString& font = QString()) {
    Document document;
    document.text = text;
    document.inEffect = inEffect;
    if (!font.isEmpty())
        document.font = font;
    return document;
}

// A document that fades in formatted text, in column 9 alone.
Document formatted(const QString& text, const QString& font) {
    Document document;
    document.columns = CaptionDocumentBuilder().stream(9, text);
    document.font = font;
    return document;
}

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
    EXPECT_EQ(presenter.effectState(), State::FadeOut);
    EXPECT_EQ(runToIdle(), 32); // 16 steps out at "Fast", 16 in
    EXPECT_EQ(visiblePixel(1, 1), qRgb(0, 0, 255));
}

TEST_F(PresenterTest, FadeColoursBlendFromBlack) {
    Document document;
    document.speed = u"Medium"_s; // 32 a step: 32 steps each way
    present(document);
    for (int step = 0; step < 32; ++step)
        presenter.AnimateTimerTimer();
    EXPECT_EQ(presenter.effectState(), State::FadeIn);
    presenter.AnimateTimerTimer(); // the first fade-in step: 1023 - 32 = 991 still to go
    const ColourValue background = ColourBlend(0xFF0000, Colour::Black, 991);
    EXPECT_EQ(visiblePixel(1, 1), qRgb(0, 0, int(background >> 16)));
    EXPECT_EQ(host.alpha, 991 * 255 / 1023);
}

TEST_F(PresenterTest, InstantAppearsInOneStep) {
    Document document;
    document.inEffect = u"Instant"_s;
    present(document);
    EXPECT_EQ(presenter.effectState(), State::FadeIn);
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

// An operator's "Blank" does not wait for the effect under way: the effect ends where it stands,
// and the blank shows at the next step, the whole view in its background, with nothing of the
// caption that was entering left.
class PresenterBlankTest : public PresenterTest, public testing::WithParamInterface<const char*> {};

TEST_P(PresenterBlankTest, BlanksAtOnceWhileAnEffectRuns) {
    Document entering = documentOf(u"Entering slowly"_s, QString::fromLatin1(GetParam()));
    entering.speed = u"Slow"_s;
    present(entering);
    for (int step = 0; step < 5; ++step)
        presenter.AnimateTimerTimer();
    ASSERT_TRUE(presenter.effectRunning());
    present(documentOf(u"Waiting"_s));

    presenter.clearQueue();
    presenter.finishEffectNow();
    present(documentOf(u"{BLANK}"_s, u"Fade"_s, u"Colour=\"Yellow\" BackColour=\"Red\""_s));
    EXPECT_EQ(runToIdle(), 1);
    const QImage view = presenter.displayImage().copy(QRect(-host.position, Client));
    EXPECT_EQ(inkBounds(view, qRgb(255, 0, 0)), QRect());
}

INSTANTIATE_TEST_SUITE_P(Effects, PresenterBlankTest,
                         testing::Values("Fade", "Scroll Up", "Scroll Down", "Scroll Left", "Scroll Right"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::erase(name, ' ');
                             return name;
                         });

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
    EXPECT_EQ(presenter.effectState(), State::ScrollUp);
    EXPECT_EQ(runToIdle(), 16);
}

TEST_F(PresenterTest, ChoosesTheColumnOfTheDocumentsLanguage) {
    struct Case {
        CaptionDocumentBuilder columns;
        QString language;
        int index;
    };
    const CaptionDocumentBuilder englishAndFrench =
        CaptionDocumentBuilder().stream(0, u"a"_s, u"English"_s).stream(1, u"b"_s, u"French"_s);
    const Case cases[] = {
        {englishAndFrench, u"French"_s, 1},
        {englishAndFrench, u"German"_s, 0},
        {CaptionDocumentBuilder().stream(0, u"a"_s, u"English"_s), QString(), 9}, // the last column without a name
    };
    for (const Case& c : cases) {
        Document document;
        document.columns = c.columns;
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
    CanvasFont font;
    font.pointSize = 12;
    const int lineHeight = Canvas::textHeight(font);
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

TEST_F(PresenterTest, AWordWrappedRollUpScrollsByTheLinesItAdds) {
    host.presentationSettings.wordWrap = true;
    CanvasFont font;
    font.pointSize = 12;
    const int lineHeight = Canvas::textHeight(font);
    const int fitting = 100 / lineHeight;
    const int gap = (100 - fitting * lineHeight) / (fitting - 1);
    struct Case {
        QString text;
        int lines;
    };
    const Case cases[] = {
        // Stored text, as a Stagetext caption carries it: its escapes are no part of what is drawn.
        {u"one&amp;#13;&amp;#10;two&amp;#13;&amp;#10;three"_s, 3},
        {u"&amp;#233;t&amp;#233; &amp;#233;t&amp;#233; &amp;#233;t&amp;#233; &amp;#233;t&amp;#233;"_s, 1},
        {u"a caption long enough to wrap onto two lines"_s, 2},
    };
    for (const Case& c : cases) {
        Document document;
        document.inEffect = u"Caption"_s;
        document.text = c.text;
        present(document);
        EXPECT_EQ(presenter.scrollDistance(), c.lines * lineHeight + gap) << c.text.toStdString();
        runToIdle();
    }
}

// Colours of the platform's table (as "clBtnFace") fade through the colours they show.
TEST_F(PresenterTest, SystemColoursFadeLikeOthers) {
    Document document;
    document.speed = u"Medium"_s;
    document.inEffect = u"Instant"_s;
    document.font = u"BackColour=\"clBtnFace\""_s;
    present(document);
    runToIdle();
    const QColor face = QGuiApplication::palette().color(QPalette::Button);
    ASSERT_EQ(visiblePixel(1, 1), face.rgb());

    document.inEffect = u"Fade"_s;
    document.font = u"BackColour=\"Black\""_s;
    present(document);
    presenter.AnimateTimerTimer(); // the fade-out blends 32 of 1023 toward black
    const auto blended = [](int c) { return c - 32 * c / 1023; };
    EXPECT_EQ(visiblePixel(1, 1), qRgb(blended(face.red()), blended(face.green()), blended(face.blue())));
}

TEST_F(PresenterTest, TheEndOfAScrollLeftShowsWhatScrolledIn) {
    present(documentOf(u"Before"_s, u"Instant"_s, u"BackColour=\"Red\""_s));
    runToIdle();
    ASSERT_EQ(visiblePixel(1, 1), qRgb(255, 0, 0));

    present(documentOf(u"Left"_s, u"Scroll Left"_s, u"Colour=\"White\" BackColour=\"Red\""_s));
    const QImage arriving = presenter.displayImage().copy(QRect(QPoint(Client.width(), 0), Client));
    runToIdle();
    EXPECT_EQ(host.position, QPoint(0, 0));
    // The picture that came in from the right is now the upper-left quarter: on black, the caption
    // cleared to black whatever its background.
    EXPECT_EQ(visiblePixel(1, 1), qRgb(0, 0, 0));
    EXPECT_EQ(presenter.displayImage().copy(QRect(QPoint(0, 0), Client)), arriving);
    EXPECT_TRUE(colourBounds(arriving, qRgb(255, 255, 255)).isValid());
}

// A fade-out in progress draws the caption before in its own font, its colours blended toward
// black as far as the fade has come, at its own brightness.
TEST_F(PresenterTest, AFadeOutInProgressDrawsTheCaptionBefore) {
    present(documentOf(u"Before"_s, u"Instant"_s, u"Colour=\"White\" BackColour=\"Red\" Size=\"Large\""_s));
    runToIdle();
    const QImage seen = presenter.displayImage().copy(QRect(QPoint(0, 0), Client));
    const QRect ink = inkBounds(seen, qRgb(255, 0, 0));
    ASSERT_TRUE(ink.isValid());

    Document next = documentOf(u"Next"_s, u"Fade"_s, u"Colour=\"Yellow\" BackColour=\"Blue\" Size=\"Very small\""_s);
    next.speed = u"Slow"_s;
    present(next);
    for (int step = 0; step < 20; ++step)
        presenter.AnimateTimerTimer();
    ASSERT_EQ(presenter.effectState(), State::FadeOut);
    ASSERT_EQ(presenter.effectStep(), 1023 - 20 * 25);

    const int level = 255 - 500 * 255 / 1023; // every channel blended 500 of 1023 toward black
    EXPECT_EQ(visiblePixel(1, 1), qRgb(level, 0, 0));
    EXPECT_EQ(inkBounds(presenter.displayImage(), qRgb(level, 0, 0), QRect(QPoint(0, 0), Client)), ink);
    EXPECT_TRUE(colourBounds(presenter.displayImage(), qRgb(level, level, level)).isValid());

    // The caption's own brightness ("Medium", 127 of 255) dims its fade-out as it dimmed the
    // caption; the brightness of the caption coming in plays no part.
    Document dimmed = documentOf(u"Dimmed"_s, u"Instant"_s, u"Colour=\"White\" BackColour=\"Red\""_s);
    dimmed.extraEffects = u"Brightness=\"Medium\""_s;
    present(dimmed);
    runToIdle();
    ASSERT_EQ(visiblePixel(1, 1), qRgb(127, 0, 0));
    next.extraEffects = u"Brightness=\"Dim\""_s;
    present(next);
    presenter.AnimateTimerTimer();
    EXPECT_EQ(visiblePixel(1, 1), qRgb((255 - 25 * 255 / 1023) * 127 / 255, 0, 0));
}

// Speeds below the floors: a speed of 3 ("5%") scrolls up in 341 steps and fades in 341 each way,
// but the other scrolls take their first step at 3 and then creep at 1.
TEST_F(PresenterTest, TheSpeedFloors) {
    struct Case {
        const char16_t* effect;
        int steps;
    };
    for (const Case c : {Case{u"Scroll Up", 341}, Case{u"Caption", 341}, Case{u"Fade", 682}, Case{u"Scroll Down", 1021},
                         Case{u"Scroll Left", 1021}, Case{u"Scroll Right", 1021}}) {
        Document document = documentOf(u"Slowly"_s, QString::fromUtf16(c.effect));
        document.speed = u"5%"_s;
        present(document);
        EXPECT_EQ(presenter.effectSpeed(), 3);
        EXPECT_EQ(runToIdle(), c.steps) << QString::fromUtf16(c.effect).toStdString();
    }
}

// With the font override on, every caption takes the override's font and size, whatever it says.
TEST_F(PresenterTest, TheFontOverrideReplacesTheCaptionsFont) {
    host.presentationSettings.fontOverride = true;
    host.presentationSettings.overrideFontName = u"DejaVu Serif"_s;
    host.presentationSettings.overrideFontSize = 20;
    present(documentOf(u"Overridden"_s, u"Instant"_s, u"Name=\"Liberation Mono\" Size=\"Very small\""_s));
    runToIdle();
    EXPECT_EQ(presenter.records().current.FontName, u"DejaVu Serif"_s);
    EXPECT_EQ(presenter.records().current.Size, u"20"_s);

    FakePresentationHost plainHost;
    Presenter plain(plainHost);
    plain.resizeDisplay(Client);
    plain.enqueue(documentOf(u"Overridden"_s, u"Instant"_s, u"Name=\"DejaVu Serif\" Size=\"20\""_s).xml());
    plain.ShowSurtitle();
    plain.AnimateTimerTimer();
    EXPECT_EQ(presenter.displayImage().copy(QRect(QPoint(0, 0), Client)),
              plain.displayImage().copy(QRect(QPoint(0, 0), Client)));
}

// The column text of a picture caption: a BMP of the given size and colour.
QString pictureText(QSize size, QRgb colour) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "BMP");
    return u"#IMAGE:#"_s + QString::fromLatin1(bytes.toBase64());
}

// A picture that rolls up (as every Stagetext caption enters) comes wholly into view, whatever the
// caption before it left as the distance to scroll.
class PresenterRollUpPictureTest : public PresenterTest, public testing::WithParamInterface<const char*> {};

TEST_P(PresenterRollUpPictureTest, ComesWhollyIntoView) {
    if (*GetParam()) {
        Document before;
        before.inEffect = QString::fromLatin1(GetParam());
        present(before);
        runToIdle();
    }
    Document picture;
    picture.inEffect = u"Caption"_s;
    picture.text = pictureText(Client, qRgb(255, 0, 0));
    present(picture);
    runToIdle();
    for (const QPoint point : {QPoint(0, 0), QPoint(199, 0), QPoint(0, 99), QPoint(199, 99)})
        EXPECT_EQ(visiblePixel(point.x(), point.y()), qRgb(255, 0, 0)) << point.x() << "," << point.y();
}

INSTANTIATE_TEST_SUITE_P(After, PresenterRollUpPictureTest, testing::Values("", "Caption", "Scroll Up", "Fade"),
                         [](const auto& info) {
                             std::string name = *info.param ? info.param : "StartUp";
                             std::erase(name, ' ');
                             return name;
                         });

// In transparent mode the window's alpha fades a caption in; a picture keeps its own colours.
TEST_F(PresenterTest, TransparentModePicturesFadeInAndStayVisible) {
    host.transparent = true;
    for (const QString& speed : {u"Instant"_s, u"Fast"_s}) {
        Document document;
        document.text = pictureText(Client, qRgb(255, 0, 0));
        document.speed = speed;
        present(document);
        while (presenter.effectState() == State::FadeOut)
            presenter.AnimateTimerTimer();
        presenter.AnimateTimerTimer(); // the first step of the fade-in
        EXPECT_EQ(visiblePixel(100, 50), qRgb(255, 0, 0)) << speed.toStdString();
        runToIdle();
        EXPECT_EQ(visiblePixel(100, 50), qRgb(255, 0, 0)) << speed.toStdString();
        EXPECT_EQ(host.alpha, 255);
    }
}

// The fade-out starts from what the audience saw: its first step shows that picture with every
// colour blended 64 of 1023 toward black, as a "Fast" fade's first step blends the caption's own.
struct FadeOutCase {
    const char* name;
    std::vector<Document> before;
};

class PresenterFadeOutTest : public PresenterTest, public testing::WithParamInterface<FadeOutCase> {};

TEST_P(PresenterFadeOutTest, StartsFromWhatTheAudienceSaw) {
    for (const Document& document : GetParam().before) {
        present(document);
        runToIdle();
    }
    const QImage seen = presenter.displayImage().copy(QRect(QPoint(0, 0), Client));
    Document next;
    next.text = u"Next"_s;
    present(next);
    presenter.AnimateTimerTimer();
    ASSERT_EQ(presenter.effectState(), State::FadeOut);
    const QImage first = presenter.displayImage().copy(QRect(QPoint(0, 0), Client));

    const auto blended = [](int c) { return c - 64 * c / 1023; };
    int worst = 0;
    for (int y = 0; y < Client.height(); ++y) {
        for (int x = 0; x < Client.width(); ++x) {
            const QRgb before = seen.pixel(x, y);
            const QRgb after = first.pixel(x, y);
            worst = std::max({worst, std::abs(blended(qRed(before)) - qRed(after)),
                              std::abs(blended(qGreen(before)) - qGreen(after)),
                              std::abs(blended(qBlue(before)) - qBlue(after))});
        }
    }
    EXPECT_LE(worst, 2);
}

INSTANTIATE_TEST_SUITE_P(Captions, PresenterFadeOutTest,
                         testing::ValuesIn(std::vector<FadeOutCase>{
                             {"AfterAFade", {Document()}},
                             {"AfterAScrollUp", {documentOf(u"Hello"_s, u"Scroll Up"_s)}},
                             {"AfterEmpty", {Document(), documentOf(u"{EMPTY}"_s, u"Fade"_s, u"BackColour=\"Red\""_s)}},
                             {"AfterAnUnknownEffect", {Document(), documentOf(u"Unseen"_s, u"Dissolve"_s)}},
                             {"AfterScrollDown", {documentOf(u"Hello"_s, u"Scroll Down"_s)}},
                             {"AfterScrollLeft", {documentOf(u"Hello"_s, u"Scroll Left"_s)}},
                             {"AfterScrollRight", {documentOf(u"Hello"_s, u"Scroll Right"_s)}},
                             {"AfterRollUps", {documentOf(u"one"_s, u"Caption"_s), documentOf(u"two"_s, u"Caption"_s)}},
                             {"AfterEmptyAfterRollUps",
                              {documentOf(u"one"_s, u"Caption"_s), documentOf(u"{EMPTY}"_s),
                               documentOf(u"two"_s, u"Caption"_s)}},
                         }),
                         [](const auto& info) { return std::string(info.param.name); });

// The vertices of the de Bruijn sequence of order 2 over count symbols: every ordered pair of them
// follows one another once.
std::vector<int> everyOrderedPair(int count) {
    std::vector<int> sequence;
    std::vector<int> a(std::size_t(2 * count + 1), 0);
    const std::function<void(int, int)> extend = [&](int t, int p) {
        if (t > 2) {
            if (2 % p == 0)
                sequence.insert(sequence.end(), a.begin() + 1, a.begin() + p + 1);
            return;
        }
        a[std::size_t(t)] = a[std::size_t(t - p)];
        extend(t + 1, p);
        for (int j = a[std::size_t(t - p)] + 1; j < count; ++j) {
            a[std::size_t(t)] = j;
            extend(t + 1, t);
        }
    };
    extend(1, 1);
    sequence.push_back(sequence.front()); // the sequence is cyclic
    return sequence;
}

// Every effect after every other, drawn by the display's own steps and by steps that compose the
// caption again and clear the whole image, which they hold whole: the audience sees the same at
// every step, and the background picture is keyed on the same colour (the image's bottom-left
// pixel). While a scroll runs, all it brings into view takes part.
struct RedrawMode {
    const char* name;
    bool transparent;
    bool antiAliased;
};

class PresenterRedrawTest : public testing::TestWithParam<RedrawMode> {};

TEST_P(PresenterRedrawTest, OptimisedStepsShowWhatWholeRedrawsShow) {
    const QString picture = pictureText(QSize(60, 30), qRgb(0, 200, 0));
    const std::vector<Document> effects = {
        documentOf(u"Fade in"_s, u"Fade"_s),
        documentOf(u"Instant"_s, u"Instant"_s, u"Colour=\"White\" BackColour=\"Red\""_s),
        documentOf(u"Up"_s, u"Scroll Up"_s, u"BackColour=\"Green\""_s),
        documentOf(u"Rolled"_s, u"Caption"_s, u"BackColour=\"Navy\""_s),
        documentOf(u"Down"_s, u"Scroll Down"_s, u"BackColour=\"Red\""_s),
        documentOf(u"Left"_s, u"Scroll Left"_s),
        documentOf(u"Right"_s, u"Scroll Right"_s, u"BackColour=\"White\""_s),
        documentOf(u"{BLANK}"_s, u"Fade"_s, u"BackColour=\"Teal\""_s),
        documentOf(u"{CLEAR}"_s, u"Fade"_s, u"BackColour=\"Maroon\""_s),
        documentOf(u"{EMPTY}"_s),
        documentOf(u"Unseen"_s, u"Dissolve"_s),
        formatted(u"&lt;i&gt;On black&lt;/i&gt;"_s, u"Colour=\"White\" BackColour=\"Black\""_s),
        documentOf(picture, u"Fade"_s, u"BackColour=\"Purple\""_s),
        // Ink far above its line, on black: a fade clears only what the step before drew.
        documentOf(u"x"_s + QString(12, QChar(0x0301)), u"Fade"_s,
                   u"Colour=\"White\" BackColour=\"Black\" Name=\"DejaVu Sans\""_s),
        // Dimmed, two lines whose glyphs meet, and a line wider than the view.
        [] {
            Document dim = documentOf(u"Dim"_s, u"Fade"_s, u"Colour=\"Aqua\" BackColour=\"Maroon\""_s);
            dim.extraEffects = u"Brightness=\"Dim\""_s;
            return dim;
        }(),
        documentOf(u"gjpqy\u0301&#13;&#10;\u00C5\u00C9\u0302\u0301"_s, u"Fade"_s,
                   u"Colour=\"Lime\" BackColour=\"Navy\" Size=\"20\""_s),
        documentOf(u"A line far wider than the view it fades in"_s, u"Fade"_s,
                   u"Colour=\"White\" BackColour=\"Olive\" Size=\"18\""_s),
        formatted(u"&lt;html&gt;&lt;b&gt;Bold&lt;/b&gt; &lt;font color=\"#FF0000\"&gt;red&lt;/font&gt;&lt;/html&gt;"_s,
                  u"Colour=\"Yellow\" BackColour=\"Teal\""_s),
    };
    const RedrawMode mode = GetParam();
    FakePresentationHost optimisedHost;
    FakePresentationHost wholeHost;
    for (FakePresentationHost* host : {&optimisedHost, &wholeHost}) {
        host->transparent = mode.transparent;
        host->presentationSettings.antiAliased = mode.antiAliased;
        host->speed = u"100%"_s;
    }
    Presenter optimised(optimisedHost);
    Presenter whole(wholeHost, Presenter::Redraw::Whole);
    for (Presenter* presenter : {&optimised, &whole}) {
        presenter->resizeDisplay(Client);
        for (const int effect : everyOrderedPair(int(effects.size())))
            presenter->enqueue(effects[std::size_t(effect)].xml());
    }

    for (int step = 0; optimised.queuedDocuments() > 0 || optimised.effectRunning(); ++step) {
        optimised.AnimateTimerTimer();
        whole.AnimateTimerTimer();
        const QString where = u"step %1, caption \"%2\", state %3"_s.arg(step).arg(
            optimised.records().current.Caption[9].Text.left(12), QString::number(int(optimised.effectState())));
        ASSERT_EQ(optimisedHost.position, wholeHost.position) << where.toStdString();
        ASSERT_EQ(optimisedHost.alpha, wholeHost.alpha) << where.toStdString();
        const QImage& mine = optimised.displayImage();
        const QImage& theirs = whole.displayImage();
        const QRect view(-optimisedHost.position, Client);
        ASSERT_EQ(mine.copy(view), theirs.copy(view)) << where.toStdString();
        // A window paints a plain view by filling its colour around what was drawn.
        if (const std::optional<Presenter::PlainView> plain = optimised.plainView()) {
            QImage painted = mine.copy(view);
            QPainter painter(&painted);
            painter.setClipRegion(QRegion(painted.rect()).subtracted(plain->drawn));
            painter.fillRect(painted.rect(), QColor::fromRgb(plain->colour));
            painter.end();
            ASSERT_EQ(painted, theirs.copy(view)) << "plain view, " << where.toStdString();
        }
        ASSERT_EQ(optimised.bottomLeftPixel(), theirs.pixel(0, theirs.height() - 1)) << where.toStdString();
        // All that the running scroll brings into view: a vertical one moves the left half past the
        // window, a horizontal one the upper half. (What lies beyond is never shown: a caption's ink
        // that overflowed the view there is cleared by one and not by the other.) The display holds
        // no more than that, and only while the scroll runs.
        const State state = optimised.effectState();
        const QRect left(0, 0, theirs.width() / 2, theirs.height());
        const QRect upper(0, 0, theirs.width(), theirs.height() / 2);
        ASSERT_EQ(optimised.displaySize(), theirs.size());
        if (state == State::ScrollUp || state == State::ScrollDown)
            ASSERT_EQ(mine.size(), left.size()) << where.toStdString();
        else if (state == State::ScrollLeft || state == State::ScrollRight)
            ASSERT_EQ(mine.size(), upper.size()) << where.toStdString();
        else if (optimisedHost.position == QPoint(0, 0))
            ASSERT_EQ(mine.size(), Client) << where.toStdString();
        if (state == State::ScrollUp || state == State::ScrollDown) {
            ASSERT_EQ(mine.copy(left), theirs.copy(left)) << where.toStdString();
        } else if (state == State::ScrollLeft || state == State::ScrollRight) {
            ASSERT_EQ(mine.copy(upper), theirs.copy(upper)) << where.toStdString();
        }
    }
    EXPECT_FALSE(whole.effectRunning());
}

INSTANTIATE_TEST_SUITE_P(Modes, PresenterRedrawTest,
                         testing::Values(RedrawMode{"Opaque", false, false}, RedrawMode{"Transparent", true, false},
                                         RedrawMode{"OpaqueAntiAliased", false, true},
                                         RedrawMode{"TransparentAntiAliased", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PresenterTest, AFadeLeavesNothingOfTheCaptionBefore) {
    Document first;
    first.text = u"The first caption, long and wide"_s;
    first.font = u"Colour=\"White\" BackColour=\"Black\" Size=\"12\""_s;
    Document second = first;
    second.text = u"Second"_s;
    second.columns = CaptionDocumentBuilder().stream(9, u"&lt;html&gt;&lt;i&gt;Second&lt;/i&gt;&lt;/html&gt;"_s);
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
