#include "window/PresentationWindow.h"

#include "captions/Vocabularies.h"
#include "support/CaptionDocumentBuilder.h"
#include "support/ImageProbes.h"
#include "support/QtPrinters.h"
#include "support/WindowFakes.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(PresentationWindowTest, TheDisplayImageIsTwiceTheClientArea) {
    const FixedPresentationInputs inputs;
    PresentationWindow window(inputs);
    window.resize(960, 540);
    window.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(window.presenter().displaySize(), QSize(1920, 1080));
    EXPECT_EQ(window.BaseFontHeight(), 34);
    EXPECT_EQ(window.settings().baseFontHeight, 34);

    window.setFixedBaseFontHeight(40);
    window.resize(640, 360);
    QCoreApplication::processEvents();
    EXPECT_EQ(window.presenter().displaySize(), QSize(1280, 720));
    EXPECT_EQ(window.BaseFontHeight(), 40);
}

TEST(PresentationWindowTest, AnimationStepsArriveAsEvents) {
    const FixedPresentationInputs inputs;
    PresentationWindow window(inputs);
    window.resize(320, 180);
    window.show();
    window.startAnimation();
    window.presenter().enqueue(CaptionDocumentBuilder().stream(9, u"Hi"_s).effect(EntryEffect::Fade, u"Fast"_s).xml());
    window.presenter().ShowSurtitle();
    ASSERT_TRUE(window.presenter().effectRunning());
    const QDeadlineTimer deadline(5000);
    while (window.presenter().effectRunning() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_FALSE(window.presenter().effectRunning()); // 32 steps of 10 ms
    window.stopAnimation();
}

TEST(PresentationWindowTest, TransparentModeShowsTheAlpha) {
    const FixedPresentationInputs inputs;
    PresentationWindow window(inputs);
    window.resize(320, 180);
    window.setWindowAlpha(100);
    EXPECT_DOUBLE_EQ(window.windowOpacity(), 1.0); // kept, not shown, outside transparent mode
    window.toggleTransparent();
    EXPECT_TRUE(window.transparentMode());
    window.setWindowAlpha(100);
    EXPECT_NEAR(window.windowOpacity(), 100 / 255.0, 0.01);
    window.toggleTransparent();
    EXPECT_DOUBLE_EQ(window.windowOpacity(), 1.0);
}

TEST(PresentationWindowTest, SwitchingTransparencyOnAfterAFadeInKeepsTheWindowVisible) {
    const FixedPresentationInputs inputs;
    PresentationWindow window(inputs);
    window.resize(320, 180);
    window.setWindowAlpha(0); // where a fade-in outside transparent mode leaves it
    window.toggleTransparent();
    EXPECT_EQ(window.windowAlpha(), 255);
    EXPECT_DOUBLE_EQ(window.windowOpacity(), 1.0);
}

// Counts the times a widget is hidden.
class HideCounter : public QObject {
public:
    int hides = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        hides += event->type() == QEvent::Hide;
        return false;
    }
};

// A window manager still taking on a window from its first mapping may drop a second one that
// follows at once: a shown window changes its border and staying on top without being hidden.
TEST(PresentationWindowTest, AShownWindowChangesItsBorderAndStayingOnTopWithoutBeingHidden) {
    const FixedPresentationInputs inputs;
    PresentationWindow window(inputs);
    window.resize(320, 180);
    window.show();
    HideCounter counter;
    window.installEventFilter(&counter);
    const WId native = window.winId();

    window.hideBorderNow();
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(window.windowHandle()->flags().testFlag(Qt::FramelessWindowHint));
    window.stopStayingOnTop();
    EXPECT_FALSE(window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    window.setStayOnTop();
    EXPECT_TRUE(window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window.windowHandle()->flags().testFlag(Qt::FramelessWindowHint));

    EXPECT_EQ(counter.hides, 0);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.winId(), native);
}

TEST(PresentationWindowTest, HidingTheBorderLeavesARunningEffectAlone) {
    const FixedPresentationInputs inputs;
    PresentationWindow window(inputs);
    window.resize(320, 180);
    window.show();
    EXPECT_TRUE(window.borderHidingPending()); // from creation
    Presenter& presenter = window.presenter();
    presenter.enqueue(CaptionDocumentBuilder().stream(9, u"first"_s).effect(EntryEffect::ScrollLeft, u"Slow"_s).xml());
    presenter.ShowSurtitle(); // runs the pending border hiding first, then starts the scroll
    EXPECT_FALSE(window.borderHidingPending());
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    const int steps = (FullProgress + presenter.effectSpeed() - 1) / presenter.effectSpeed();
    presenter.AnimateTimerTimer();

    // The timer's own step, and the operator's resize that makes a caption run it again: the scroll
    // goes on, and the caption waits for its end.
    window.hideBorderNow();
    EXPECT_TRUE(presenter.effectRunning());
    window.resize(330, 190);
    QCoreApplication::processEvents();
    ASSERT_TRUE(window.borderHidingPending());
    presenter.enqueue(CaptionDocumentBuilder().stream(9, u"second"_s).effect(EntryEffect::Instant).xml());
    presenter.ShowSurtitle();
    EXPECT_FALSE(window.borderHidingPending());
    EXPECT_EQ(presenter.effectState(), Presenter::AnimationState::ScrollLeft);
    EXPECT_EQ(presenter.queuedDocuments(), 1);
    for (int step = 1; step < steps - 1; ++step)
        presenter.AnimateTimerTimer();
    EXPECT_EQ(presenter.records().current.Caption[9].Text, u"first"_s);
    presenter.AnimateTimerTimer(); // the scroll's last step presents the waiting caption
    EXPECT_EQ(window.imagePosition(), QPoint(0, 0));
    EXPECT_EQ(presenter.records().current.Caption[9].Text, u"second"_s);
}

// A window manager that keeps the outer size as the border goes grows the content area by the title
// bar; the content area takes its own geometry back, and that is no resize by the operator.
TEST(PresentationWindowTest, TheBorderNeverChangesTheContentArea) {
    const FixedPresentationInputs inputs;
    PresentationWindow window(inputs);
    window.applyGeometry(QRect(100, 100, 800, 200));
    window.show();
    QCoreApplication::processEvents();
    const QRect frame = window.frameGeometry();
    ASSERT_NE(frame, window.geometry());
    window.hideBorderNow();
    window.setGeometry(frame); // the window manager reframing it at its outer size
    QCoreApplication::processEvents();
    EXPECT_EQ(window.geometry(), QRect(100, 100, 800, 200));
    EXPECT_EQ(window.presenter().displaySize(), QSize(1600, 400));
    EXPECT_FALSE(window.borderHidingPending());

    // A size that is no reframing is the operator's, even just after the border changed.
    window.setGeometry(100, 100, 800, 260);
    QCoreApplication::processEvents();
    EXPECT_EQ(window.size(), QSize(800, 260));
    EXPECT_TRUE(window.borderHidingPending());
}

// The caption on screen is laid out again for the size the window got, at once, not at the next caption.
TEST(PresentationWindowTest, AResizeDrawsTheShownCaptionAgainAtTheNewSize) {
    const FixedPresentationInputs inputs;
    PresentationWindow window(inputs);
    // The border stays as it is until the end (a border timer stopped before the window shows), so
    // the resize below is none of its reframing.
    window.applySize(QSize(320, 180));
    window.hideBorderNow();
    window.show();
    QCoreApplication::processEvents();
    Presenter& presenter = window.presenter();
    presenter.enqueue(CaptionDocumentBuilder()
                          .stream(9, u"Hello"_s)
                          .colours(u"Yellow"_s, u"Blue"_s)
                          .effect(EntryEffect::Instant)
                          .xml());
    presenter.ShowSurtitle();
    while (presenter.effectRunning())
        presenter.AnimateTimerTimer();
    const QRect before = colourBounds(presenter.displayImage(), qRgb(255, 255, 0));
    ASSERT_FALSE(before.isEmpty());

    window.resize(640, 360);
    QCoreApplication::processEvents();
    const QImage& after = presenter.displayImage();
    const QRect view(0, 0, 640, 360);
    const QRect caption = colourBounds(after.copy(view), qRgb(255, 255, 0));
    EXPECT_GT(caption.width(), before.width()); // a font for the larger display
    EXPECT_EQ(after.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(after.pixel(639, 359), qRgb(0, 0, 255));
    EXPECT_EQ(window.BaseFontHeight(), 1280 / 56);
}

// The window as the operator meets it: shown at a known place, driven by events through its
// platform window as the pointer and keyboard deliver them.
class OperatorControlsTest : public testing::Test {
protected:
    static constexpr QPoint Start{100, 80};

    void SetUp() override {
        window.resize(320, 180);
        window.move(Start);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    void TearDown() override { menu().hide(); }

    PopupMenu& menu() { return window.popupMenu(); }
    // The platform window changes when the border is shown or hidden.
    QWindow* platformWindow() { return window.windowHandle(); }
    void click(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint point) {
        QTest::mouseClick(platformWindow(), button, modifiers, point);
    }
    void moveTo(QPoint point, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseEvent(QTest::MouseMove, platformWindow(), Qt::NoButton, modifiers, point);
    }
    bool bordered() const { return !window.windowFlags().testFlag(Qt::FramelessWindowHint); }

    FixedPresentationInputs inputs;
    ChosenPictureFile pictureFiles;
    PresentationWindow window{inputs, pictureFiles};
};

TEST_F(OperatorControlsTest, AClickOpensTheMenuAtThePointer) {
    window.hideBorderNow(); // the pointer disappears with the border
    EXPECT_EQ(window.cursor().shape(), Qt::BlankCursor);
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        click(button, {}, QPoint(60, 50));
        EXPECT_TRUE(menu().isVisible()) << int(button);
        EXPECT_EQ(menu().lastPopupPoint(), window.mapToGlobal(QPoint(60, 50)));
        EXPECT_NE(window.cursor().shape(), Qt::BlankCursor);
        menu().hide();
    }
    click(Qt::LeftButton, Qt::ShiftModifier, QPoint(80, 50));
    EXPECT_FALSE(menu().isVisible());
    EXPECT_EQ(menu().lastPopupPoint(), window.mapToGlobal(QPoint(60, 50)));
}

TEST_F(OperatorControlsTest, AClickBesideTheDisplayImageOpensTheMenuAtTheScreenCorner) {
    window.setImagePosition(QPoint(100, 0)); // as a scroll moves it
    click(Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_TRUE(menu().isVisible());
    EXPECT_EQ(menu().lastPopupPoint(), QPoint(0, 0));
    menu().hide();
    click(Qt::LeftButton, {}, QPoint(150, 50));
    EXPECT_EQ(menu().lastPopupPoint(), window.mapToGlobal(QPoint(150, 50)));
}

TEST_F(OperatorControlsTest, ShiftDragKeepsTheImagePointUnderThePointer) {
    window.setImagePosition(QPoint(-20, -10));
    const QPoint grip(50, 40);
    QTest::mousePress(platformWindow(), Qt::LeftButton, Qt::ShiftModifier, grip);
    EXPECT_EQ(window.DragOrigin(), QPoint(70, 50)); // in display-image coordinates

    for (const QPoint step : {QPoint(30, 20), QPoint(-45, 5)}) {
        const QPoint pointer = window.mapToGlobal(grip + step);
        moveTo(grip + step, Qt::ShiftModifier);
        EXPECT_EQ(window.mapFromGlobal(pointer), grip);
    }
    EXPECT_EQ(window.pos(), Start + QPoint(-15, 25));
    EXPECT_EQ(window.cursor().shape(), Qt::SizeAllCursor);

    QTest::mouseRelease(platformWindow(), Qt::LeftButton, Qt::ShiftModifier, grip);
    EXPECT_EQ(window.DragOrigin(), QPoint(-1, -1));
    EXPECT_FALSE(menu().isVisible()); // Shift held: the click opens nothing
    moveTo(grip + QPoint(10, 10), Qt::ShiftModifier);
    EXPECT_EQ(window.pos(), Start + QPoint(-15, 25));
}

TEST_F(OperatorControlsTest, ShiftMoveWithoutAPressOnlyChangesThePointer) {
    // The menu a right click opens takes the release of that click: no drag may stay armed.
    click(Qt::RightButton, {}, QPoint(40, 40));
    ASSERT_TRUE(menu().isVisible());
    menu().hide();
    EXPECT_EQ(window.DragOrigin(), QPoint(-1, -1));
    window.hideBorderNow();
    window.enableMouseMove();
    moveTo(QPoint(40, 40), Qt::ShiftModifier);
    moveTo(QPoint(90, 60), Qt::ShiftModifier);
    EXPECT_EQ(window.pos(), Start);
    EXPECT_EQ(window.cursor().shape(), Qt::SizeAllCursor);
    EXPECT_FALSE(bordered());
}

TEST_F(OperatorControlsTest, MovementShowsTheBorderExceptInTheFirstSecondAfterItHid) {
    window.hideBorderNow();
    ASSERT_FALSE(bordered());
    moveTo(QPoint(30, 30));
    EXPECT_FALSE(bordered());
    EXPECT_EQ(window.cursor().shape(), Qt::BlankCursor);
    EXPECT_FALSE(window.borderHidingPending());

    window.enableMouseMove(); // the second is over
    moveTo(QPoint(40, 30));
    EXPECT_TRUE(bordered());
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(window.borderHidingPending());
}

TEST_F(OperatorControlsTest, Keys) {
    struct Case {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        std::optional<int> fontAdjust;
        QPoint move;
    };
    const Qt::KeyboardModifiers ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    const Case cases[] = {
        {"Up", Qt::Key_Up, {}, 1, {}},
        {"Down", Qt::Key_Down, {}, -1, {}},
        {"Shift+Left", Qt::Key_Left, Qt::ShiftModifier, {}, {-1, 0}},
        {"Shift+Right", Qt::Key_Right, Qt::ShiftModifier, {}, {1, 0}},
        {"Shift+Up", Qt::Key_Up, Qt::ShiftModifier, {}, {0, -1}},
        {"Shift+Down", Qt::Key_Down, Qt::ShiftModifier, {}, {0, 1}},
        {"Ctrl+Shift+Left", Qt::Key_Left, ctrlShift, {}, {-10, 0}},
        {"Ctrl+Shift+Right", Qt::Key_Right, ctrlShift, {}, {10, 0}},
        {"Ctrl+Shift+Up", Qt::Key_Up, ctrlShift, {}, {0, -10}},
        {"Ctrl+Shift+Down", Qt::Key_Down, ctrlShift, {}, {0, 10}},
        {"Ctrl+Down", Qt::Key_Down, Qt::ControlModifier, {}, {}},
        {"Ctrl+Up", Qt::Key_Up, Qt::ControlModifier, {}, {}},
        {"Alt+Shift+Left", Qt::Key_Left, Qt::AltModifier | Qt::ShiftModifier, {}, {}},
        {"Left", Qt::Key_Left, {}, {}, {}},
        {"Shift+A", Qt::Key_A, Qt::ShiftModifier, {}, {}},
    };
    for (const Case& c : cases) {
        std::vector<int> adjustments;
        const QMetaObject::Connection adjusting = QObject::connect(&window, &PresentationWindow::fontAdjustRequested,
                                                                   [&](int delta) { adjustments.push_back(delta); });
        window.move(Start);
        QTest::keyClick(&window, c.key, c.modifiers);
        EXPECT_EQ(adjustments, c.fontAdjust ? std::vector{*c.fontAdjust} : std::vector<int>{}) << c.name;
        EXPECT_EQ(window.pos(), Start + c.move) << c.name;
        QObject::disconnect(adjusting);
    }
}

// The settled-move step follows the operator moving the window's frame, never the window moving
// itself for its keys or a Shift-drag, however long the pause after such a move.
TEST_F(OperatorControlsTest, OnlyTheOperatorsMoveOfTheFrameEndsInTheSettledMoveStep) {
    const auto pause = [] {
        const QDeadlineTimer deadline(PresentationWindow::MoveSettleMilliseconds * 3);
        while (!deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    };
    pause(); // past the set-up's move
    int settledMoves = 0;
    QObject::connect(&window, &PresentationWindow::moveSettled, [&] { ++settledMoves; });
    QTest::keyClick(&window, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&window, Qt::Key_Down, Qt::ShiftModifier | Qt::ControlModifier);
    pause();
    EXPECT_EQ(settledMoves, 0) << "Shift+arrows";

    const QPoint grip(50, 40);
    QTest::mousePress(platformWindow(), Qt::LeftButton, Qt::ShiftModifier, grip);
    moveTo(grip + QPoint(30, 20), Qt::ShiftModifier);
    pause();
    EXPECT_EQ(settledMoves, 0) << "a pause during a Shift-drag";
    QTest::mouseRelease(platformWindow(), Qt::LeftButton, Qt::ShiftModifier, grip);
    pause();
    EXPECT_EQ(settledMoves, 0) << "the end of a Shift-drag";

    window.move(window.pos() + QPoint(200, 100)); // as the window manager does for the operator
    pause();
    EXPECT_EQ(settledMoves, 1);
}

// The background picture is a red 40 x 20 bitmap; the display image is dark green (its bottom-left
// pixel, so the transparent colour) with a blue square in its corner.
class BackgroundPictureTest : public OperatorControlsTest {
protected:
    static constexpr QRgb Red = 0xFFFF0000;
    static constexpr QRgb Blue = 0xFF0000FF;
    static constexpr QRgb DarkGreen = 0xFF004000;
    static constexpr QRgb Black = 0xFF000000;

    void SetUp() override {
        OperatorControlsTest::SetUp();
        ASSERT_TRUE(directory.isValid());
        QImage picture(40, 20, QImage::Format_RGB32);
        picture.fill(Red);
        ASSERT_TRUE(picture.save(pictureFile, "BMP"));
        Canvas& display = window.presenter().displayCanvas();
        display.fillAll(0x004000); // DarkGreen, blue first
        QPainter(&display.image()).fillRect(0, 0, 10, 10, Blue);
    }

    QRgb shown(int x, int y) { return window.grab().toImage().pixel(x, y) | 0xFF000000; }
    QString file(const QString& name) const { return directory.filePath(name); }

    QTemporaryDir directory;
    const QString pictureFile = file(u"red.bmp"_s);
};

TEST_F(BackgroundPictureTest, ShowsThroughTheTransparentColourOfTheDisplayImage) {
    pictureFiles.file.clear(); // cancelled
    menu().item(MenuCommand::ChooseBackgroundImage)->trigger();
    EXPECT_FALSE(window.HasBackgroundImage());

    pictureFiles.file = pictureFile;
    menu().item(MenuCommand::ChooseBackgroundImage)->trigger();
    ASSERT_TRUE(window.HasBackgroundImage());
    EXPECT_EQ(window.backgroundFileName(), pictureFile);
    EXPECT_EQ(shown(5, 5), Blue);     // the display image's own colour covers the picture
    EXPECT_EQ(shown(20, 15), Red);    // its transparent colour shows it
    EXPECT_EQ(shown(100, 50), Black); // beyond the picture

    menu().item(MenuCommand::ClearBackgroundImage)->trigger();
    EXPECT_FALSE(window.HasBackgroundImage());
    EXPECT_EQ(window.backgroundFileName(), pictureFile);
    EXPECT_EQ(shown(5, 5), Blue);
    EXPECT_EQ(shown(20, 15), DarkGreen);
}

TEST_F(BackgroundPictureTest, AFileThatCannotBeShownLeavesTheBackgroundAsItWas) {
    QFile picture(pictureFile);
    ASSERT_TRUE(picture.open(QIODevice::ReadOnly));
    const QByteArray pictureBytes = picture.readAll();
    // No bitmap at all, and a bitmap whose pixel rows stop half-way.
    const QStringList unreadable{file(u"corrupt.bmp"_s), file(u"truncated.bmp"_s)};
    for (const auto& [name, bytes] : {std::pair(unreadable[0], QByteArray("BM this is no bitmap")),
                                      std::pair(unreadable[1], pictureBytes.first(pictureBytes.size() / 2))}) {
        QFile corrupt(name);
        ASSERT_TRUE(corrupt.open(QIODevice::WriteOnly));
        corrupt.write(bytes);
    }

    for (const bool withPicture : {false, true}) {
        if (withPicture) {
            ASSERT_TRUE(window.loadBackgroundImage(pictureFile));
        }
        QString error;
        EXPECT_FALSE(window.loadBackgroundImage(file(u"missing.bmp"_s), &error));
        EXPECT_TRUE(error.isEmpty()) << "a missing file is ignored";
        for (const QString& name : unreadable) {
            EXPECT_FALSE(window.loadBackgroundImage(name, &error)) << name.toStdString();
            EXPECT_FALSE(error.isEmpty()) << "the reader's error";
        }
        EXPECT_EQ(window.HasBackgroundImage(), withPicture);
        EXPECT_EQ(shown(20, 15), withPicture ? Red : DarkGreen);
    }
    EXPECT_EQ(window.backgroundFileName(), pictureFile);
}

} // namespace
