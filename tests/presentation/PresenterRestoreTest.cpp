#include "FakePresentationHost.h"
#include "presentation/Presenter.h"
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

QString document(const QString& captions, const QString& font, const QString& effects,
                 const QString& more = QString()) {
    return u"<Surtitles><Cue><Captions %1/><Font %2/><Effects %3/>%4</Cue></Surtitles>"_s.arg(captions, font, effects,
                                                                                              more);
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

const QString Yellow = u"Colour=\"Yellow\" BackColour=\"Blue\" Size=\"Large\""_s;

std::vector<RestoreCase> restoreCases() {
    return {
        {"Fade", document(u"Stream0=\"Hello there\""_s, Yellow, u"InEffect=\"Fade\" Speed=\"Fast\""_s)},
        {"Instant", document(u"Stream0=\"Hello there\""_s, Yellow, u"InEffect=\"Instant\""_s)},
        {"ScrollUp", document(u"Stream0=\"Up\""_s, Yellow, u"InEffect=\"Scroll Up\" Speed=\"Fast\""_s)},
        {"ScrollDown", document(u"Stream0=\"Down\""_s, Yellow, u"InEffect=\"Scroll Down\" Speed=\"Fast\""_s)},
        {"ScrollLeftOnBlack", document(u"Stream0=\"Left\""_s, Yellow, u"InEffect=\"Scroll Left\" Speed=\"Fast\""_s)},
        {"ScrollRight", document(u"Stream0=\"Right\""_s, Yellow, u"InEffect=\"Scroll Right\" Speed=\"Fast\""_s)},
        {"DimmedJustifiedLeft",
         document(
             u"Stream0=\"Dim\""_s, Yellow,
             u"InEffect=\"Fade\" Speed=\"Fast\" Justification=\"Left\" Brightness=\"Dim\" OverallBrightness=\"60\""_s)},
        {"ChosenLanguage",
         document(u"Stream0=\"English\" StrName0=\"English\" Stream1=\"Fran\u00e7ais\" StrName1=\"French\""_s, Yellow,
                  u"InEffect=\"Fade\" Speed=\"Fast\""_s, u"<Language Name=\"French\"/>"_s)},
        {"Formatted", document(u"Stream0=\"&lt;html&gt;&lt;b&gt;Bold&lt;/b&gt; &lt;i&gt;and&lt;/i&gt;&lt;/html&gt;\""_s,
                               Yellow, u"InEffect=\"Fade\" Speed=\"Fast\""_s)},
        {"Picture", document(u"Stream0=\"%1\""_s.arg(pictureText()), Yellow, u"InEffect=\"Fade\" Speed=\"Fast\""_s)},
        {"Blank", document(u"Stream0=\"{BLANK}\""_s, u"BackColour=\"Green\""_s, u"InEffect=\"Fade\""_s)},
        {"Clear", document(u"Stream0=\"{CLEAR}\""_s, Yellow, u"InEffect=\"Fade\""_s)},
    };
}

class PresenterRestoreTest : public testing::TestWithParam<RestoreCase> {};

TEST_P(PresenterRestoreTest, DrawsTheCaptionAsItWasShownInOneStep) {
    DisplayRun before;
    before.present(
        document(u"Stream0=\"Earlier\""_s, u"Colour=\"White\" BackColour=\"Red\""_s, u"InEffect=\"Instant\""_s));
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
    const QString shown = document(u"Stream0=\"Shown\""_s, Yellow, u"InEffect=\"Instant\""_s);
    const QString next = document(u"Stream0=\"Next\""_s, u"Colour=\"White\" BackColour=\"Red\""_s,
                                  u"InEffect=\"Fade\" Speed=\"Fast\""_s);
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
    run.present(document(u"Stream9=\"Seen\""_s, Yellow, u"InEffect=\"Instant\""_s));
    run.present(document(u"Stream9=\"{EMPTY}\""_s, Yellow, u"InEffect=\"Instant\""_s));
    run.present(document(u"Stream9=\"Unseen\""_s, Yellow, u"InEffect=\"Dissolve\""_s));
    run.present(u"<Surtitles><Cue>"_s); // does not parse
    ASSERT_EQ(run.recorder.shown.size(), 1u);
    EXPECT_EQ(run.recorder.shown[0].caption.Caption[9].Text, u"Seen"_s);
}

} // namespace
