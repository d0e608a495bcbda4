#include "FakePresentationHost.h"
#include "presentation/Presenter.h"
#include "support/CaptionDocumentBuilder.h"
#include "support/QtPrinters.h"

#include <QBuffer>
#include <QPainter>
#include <gtest/gtest.h>
#include <vector>

using namespace Qt::Literals::StringLiterals;

// A caption kept when it entered and given to a restarted display draws the same picture at once.

namespace {

constexpr QSize Client(200, 100); // display image 400 x 200

// Keeps what the presenter tells.
class ShownRecorder : public ShownCaptionObserver {
public:
    std::vector<ShownCaption> shown;
    void captionShown(const ShownCaption& caption) override { shown.push_back(caption); }
};

// A presentation of its own, as one run of the display.
struct DisplayRun {
    DisplayRun() {
        presenter.resizeDisplay(Client);
        presenter.setShownCaptionObserver(&recorder);
    }
    void present(const QString& document) {
        presenter.enqueue(document);
        presenter.ShowSurtitle();
        for (int steps = 0; presenter.effectRunning() && steps < 10000; ++steps)
            presenter.AnimateTimerTimer();
    }
    // What the window shows: the quarter of the display image in view.
    QImage view() const { return presenter.displayImage().copy(QRect(-host.position, Client)); }

    FakePresentationHost host;
    ShownRecorder recorder;
    Presenter presenter{host};
};

// A caption in large yellow letters on blue with text in the given column, named English and shown,
// fading in fast.
CaptionDocumentBuilder yellowOnBlue(const QString& text, int column = 0) {
    return CaptionDocumentBuilder()
        .stream(column, text, u"English"_s)
        .language(u"English"_s)
        .colours(u"Yellow"_s, u"Blue"_s)
        .fontSize(u"Large"_s)
        .effect(EntryEffect::Fade, u"Fast"_s);
}

// A caption in white on red, shown in its English column.
CaptionDocumentBuilder whiteOnRed(const QString& text) {
    return CaptionDocumentBuilder().english(text).colours(u"White"_s, u"Red"_s);
}

// The column text of a picture caption: a BMP, red above and green below.
QString pictureText() {
    QImage picture(QSize(120, 60), QImage::Format_RGB32);
    picture.fill(Qt::red);
    QPainter(&picture).fillRect(0, 30, 120, 30, Qt::green);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "BMP");
    return u"#IMAGE:#"_s + QString::fromLatin1(bytes.toBase64());
}

struct RestoreCase {
    const char* name;
    QString document;
};

std::vector<RestoreCase> restoreCases() {
    return {
        {"Fade", yellowOnBlue(u"Hello there"_s).xml()},
        {"Instant", yellowOnBlue(u"Hello there"_s).effect(EntryEffect::Instant).xml()},
        {"ScrollUp", yellowOnBlue(u"Up"_s).effect(EntryEffect::ScrollUp, u"Fast"_s).xml()},
        {"ScrollDown", yellowOnBlue(u"Down"_s).effect(EntryEffect::ScrollDown, u"Fast"_s).xml()},
        {"ScrollLeftOnBlack", yellowOnBlue(u"Left"_s).effect(EntryEffect::ScrollLeft, u"Fast"_s).xml()},
        {"ScrollRight", yellowOnBlue(u"Right"_s).effect(EntryEffect::ScrollRight, u"Fast"_s).xml()},
        {"DimmedJustifiedLeft",
         yellowOnBlue(u"Dim"_s)
             .effectsAttributes(u"Justification=\"Left\" Brightness=\"Dim\" OverallBrightness=\"60\""_s)
             .xml()},
        {"ChosenLanguage", yellowOnBlue(u"English"_s)
                               .columnLanguage(0, u"English"_s)
                               .stream(1, u"Fran\u00e7ais"_s, u"French"_s)
                               .language(u"French"_s)
                               .xml()},
        {"Formatted", yellowOnBlue(u"&lt;html&gt;&lt;b&gt;Bold&lt;/b&gt; &lt;i&gt;and&lt;/i&gt;&lt;/html&gt;"_s).xml()},
        {"Picture", yellowOnBlue(pictureText()).xml()},
        {"Blank", CaptionDocumentBuilder()
                      .specialText(0, SpecialText::Blank)
                      .columnLanguage(0, u"English"_s)
                      .language(u"English"_s)
                      .colours({}, u"Green"_s)
                      .effect(EntryEffect::Fade)
                      .xml()},
        {"Clear", yellowOnBlue({}).specialText(0, SpecialText::Clear).effect(EntryEffect::Fade).xml()},
    };
}

class PresenterRestoreTest : public testing::TestWithParam<RestoreCase> {};

TEST_P(PresenterRestoreTest, DrawsTheCaptionAsItWasShownInOneStep) {
    DisplayRun before;
    before.present(whiteOnRed(u"Earlier"_s).effect(EntryEffect::Instant).xml());
    before.present(GetParam().document);
    ASSERT_EQ(before.recorder.shown.size(), 2u);

    DisplayRun after;
    after.presenter.restoreShown(before.recorder.shown.back());
    after.presenter.AnimateTimerTimer();
    EXPECT_FALSE(after.presenter.effectRunning());
    EXPECT_EQ(after.view(), before.view());
    EXPECT_TRUE(after.recorder.shown.empty()); // what came back is kept already
}

INSTANTIATE_TEST_SUITE_P(Captions, PresenterRestoreTest, testing::ValuesIn(restoreCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PresenterRestoreTest, TheCaptionAfterARestoredOneFadesOutOfIt) {
    const QString shown = yellowOnBlue(u"Shown"_s).effect(EntryEffect::Instant).xml();
    const QString next = whiteOnRed(u"Next"_s).effect(EntryEffect::Fade, u"Fast"_s).xml();
    DisplayRun uninterrupted;
    uninterrupted.present(shown);
    DisplayRun restarted;
    restarted.presenter.restoreShown(uninterrupted.recorder.shown.back());
    restarted.presenter.AnimateTimerTimer();

    uninterrupted.presenter.enqueue(next);
    uninterrupted.presenter.ShowSurtitle();
    restarted.presenter.enqueue(next);
    restarted.presenter.ShowSurtitle();
    for (int step = 0; step < 32; ++step) {
        uninterrupted.presenter.AnimateTimerTimer();
        restarted.presenter.AnimateTimerTimer();
        ASSERT_EQ(restarted.view(), uninterrupted.view()) << "step " << step;
    }
}

TEST(PresenterRestoreTest, OnlyCaptionsThatEnterAreTold) {
    DisplayRun run;
    run.present(yellowOnBlue(u"Seen"_s, 9).effect(EntryEffect::Instant).xml());
    run.present(yellowOnBlue({}, 9).specialText(9, SpecialText::Empty).effect(EntryEffect::Instant).xml());
    run.present(yellowOnBlue(u"Unseen"_s, 9).effect(u"Dissolve"_s).xml());
    run.present(u"<Surtitles><Cue>"_s); // does not parse
    ASSERT_EQ(run.recorder.shown.size(), 1u);
    EXPECT_EQ(run.recorder.shown[0].caption.Caption[9].Text, u"Seen"_s);
}

} // namespace
