#include "app/FontSetupDialog.h"

#include "app/ColourPanel.h"
#include "app/CommandLine.h"
#include "support/QtPrinters.h"
#include "window/PresentationWindow.h"
#include "window/WindowGeometry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr ColourValue Blue = 0xFF0000;

// The dialog on a shown presentation window, driven as the operator drives it: clicks and typing.
class FontSetupDialogTest : public testing::Test {
protected:
    FontSetupDialogTest() {
        window.resize(352, 64);
        window.show();
        QCoreApplication::processEvents();
        dialog.chooseColour = [this](QColor initial) {
            offeredColour = initial;
            return chosenColour;
        };
    }

    template <typename Field = QWidget> Field* field(const QString& name) {
        Field* found = dialog.findChild<Field*>(name);
        if (!found)
            ADD_FAILURE() << "the dialog has no field " << name.toStdString();
        return found;
    }

    void open() {
        dialog.showNonModal();
        QCoreApplication::processEvents();
    }

    // Replaces a field's text: select all, then type.
    void type(const QString& name, const QString& text) {
        QWidget* target = field(name);
        if (auto* comboBox = qobject_cast<QComboBox*>(target))
            target = comboBox->lineEdit();
        QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(target, text);
    }

    void click(const QString& name) { QTest::mouseClick(field(name), Qt::LeftButton); }

    // A tick box is clicked on its box, at its left end.
    void tick(const QString& name) {
        QWidget* box = field(name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->height() / 2, box->height() / 2));
    }

    QPoint centredOnThePrimaryScreen() const {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QSize size = dialog.frameGeometry().size();
        return {screen.left() + screen.width() / 2 - size.width() / 2,
                screen.top() + screen.height() / 2 - size.height() / 2};
    }

    PresentationWindow window{[] { return PresentationSettings{}; }};
    DisplaySettings settings;
    WindowGeometry geometry{window, settings};
    CommandLine commandLine;
    FontSetupDialog dialog{settings, geometry, window, commandLine};
    std::optional<QColor> chosenColour; // what the operator picks in the colour chooser
    QColor offeredColour;               // what the chooser was opened with
};

TEST_F(FontSetupDialogTest, ShowingTakesTheWindowSizeAndTheColourInEffectAndCentresOnThePrimaryScreen) {
    window.resize(500, 120);
    settings.setFontColourSetting(u"$FF0000"_s);
    open();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.isModal());
    EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(field<QSpinBox>(u"SignWidth"_s)->value(), 500);
    EXPECT_EQ(field<QSpinBox>(u"SignHeight"_s)->value(), 120);
    EXPECT_EQ(QSize(settings.SignWidth(), settings.SignHeight()), QSize(500, 120));
    EXPECT_EQ(settings.CaptionColour(), Blue);
    EXPECT_EQ(field<ColourPanel>(u"CaptionColourPanel"_s)->colour(), QColor(Qt::blue));
    EXPECT_EQ(dialog.pos(), centredOnThePrimaryScreen());

    // Moved away, it comes back to the centre when it is next activated.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    dialog.move(10, 10);
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(dialog.pos(), centredOnThePrimaryScreen());
}

TEST_F(FontSetupDialogTest, FieldsAreTheLiveSettings) {
    open();
    type(u"FontAdjustSpin"_s, u"250"_s);
    type(u"MonitorNumber"_s, u"7"_s); // beyond the last monitor, and kept
    tick(u"EnableWordWrap"_s);
    EXPECT_EQ(settings.FontAdjustSpin(), 250);
    EXPECT_EQ(settings.MonitorNumber(), 7);
    EXPECT_TRUE(settings.EnableWordWrap());

    // Values set elsewhere, as the font adjust keys and loading a settings file do.
    settings.setFontAdjustSpin(300);
    settings.setFontSelector(u"Typed Face"_s);
    settings.setFixTopLeft(true);
    dialog.refreshFields();
    EXPECT_EQ(field<QSpinBox>(u"FontAdjustSpin"_s)->value(), 300);
    EXPECT_EQ(field<QComboBox>(u"FontSelector"_s)->currentText(), u"Typed Face"_s);
    EXPECT_TRUE(field<QCheckBox>(u"FixTopLeft"_s)->isChecked());
}

TEST_F(FontSetupDialogTest, CancelPutsBackTheLinesTheFontAndTheOverrideTickItWasOpenedWith) {
    settings.setNumberOfLines(3);
    settings.setFontHeight(28);
    settings.setFontSelector(u"Liberation Sans"_s);
    open();
    type(u"NumberOfLines"_s, u"5"_s);
    type(u"FontHeight"_s, u"40"_s);
    type(u"FontSelector"_s, u"Typed Face"_s);
    tick(u"FontOverride"_s);
    tick(u"EnableWordWrap"_s);
    ASSERT_EQ(settings.NumberOfLines(), 5);
    ASSERT_EQ(settings.FontHeight(), 40);
    ASSERT_EQ(settings.FontSelector(), u"Typed Face"_s);
    ASSERT_TRUE(settings.FontOverride());

    click(u"CancelButton"_s);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(settings.NumberOfLines(), 3);
    EXPECT_EQ(settings.FontHeight(), 28);
    EXPECT_EQ(settings.FontSelector(), u"Liberation Sans"_s);
    EXPECT_FALSE(settings.FontOverride());
    EXPECT_EQ(field<QSpinBox>(u"NumberOfLines"_s)->value(), 3);
    EXPECT_EQ(field<QComboBox>(u"FontSelector"_s)->currentText(), u"Liberation Sans"_s);
    EXPECT_FALSE(field<QCheckBox>(u"FontOverride"_s)->isChecked());
    EXPECT_TRUE(settings.EnableWordWrap()); // not one of the four

    // The values to put back are taken again at every showing.
    settings.setNumberOfLines(6);
    open();
    type(u"NumberOfLines"_s, u"9"_s);
    click(u"CancelButton"_s);
    EXPECT_EQ(settings.NumberOfLines(), 6);
}

struct ApplyCase {
    const char* name;
    bool fontOverride;
    QStringList commandLine;
    QString overrideFontName;
    int overrideFontSize;
    int windowHeight;
};

class FontSetupDialogApplyTest : public FontSetupDialogTest, public testing::WithParamInterface<ApplyCase> {};

TEST_P(FontSetupDialogApplyTest, MakesTheChoicesTheCaptionFontAndColourAndReappliesTheSize) {
    const ApplyCase& test = GetParam();
    commandLine = CommandLine(test.commandLine);
    settings.setFontSelector(u"DejaVu Serif"_s);
    settings.setFontOverride(test.fontOverride);
    open();
    type(u"FontHeight"_s, u"40"_s);
    type(u"SignWidth"_s, u"640"_s);
    type(u"SignHeight"_s, u"96"_s);
    chosenColour = QColor(Qt::blue);
    click(u"CaptionColourPanel"_s);
    click(u"ApplyButton"_s);

    EXPECT_EQ(settings.OverrideFontName(), test.overrideFontName);
    EXPECT_EQ(settings.OverrideFontSize(), test.overrideFontSize);
    const CanvasFont& displayFont = window.presenter().displayCanvas().font;
    EXPECT_EQ(displayFont.name, u"DejaVu Serif"_s);
    EXPECT_EQ(displayFont.pointSize, 40);
    EXPECT_EQ(window.size(), QSize(640, test.windowHeight));
    EXPECT_EQ(geometry.displaySize, window.size());
    EXPECT_EQ(settings.FontColourSetting(), u"$FF0000"_s);
    EXPECT_TRUE(dialog.isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FontSetupDialogApplyTest,
    testing::ValuesIn(std::vector<ApplyCase>{
        {"OverrideOn", true, {u"veltrinox-lcd"_s}, u"DejaVu Serif"_s, 40, 96},
        {"OverrideOff", false, {u"veltrinox-lcd"_s}, QString(), 0, 96},
        {"HeightOnTheCommandLine", true, {u"veltrinox-lcd"_s, u"/height"_s, u"150"_s}, u"DejaVu Serif"_s, 40, 150},
    }),
    [](const testing::TestParamInfo<ApplyCase>& info) { return std::string(info.param.name); });

TEST_F(FontSetupDialogTest, AChosenColourTakesEffectOnlyThroughApply) {
    ColourPanel* panel = field<ColourPanel>(u"CaptionColourPanel"_s);
    open();
    chosenColour = QColor(Qt::blue);
    click(u"CaptionColourPanel"_s);
    EXPECT_EQ(offeredColour, QColor(Qt::yellow));
    EXPECT_EQ(panel->colour(), QColor(Qt::blue));
    EXPECT_EQ(panel->grab().toImage().pixelColor(4, 4), QColor(Qt::blue));
    click(u"CancelButton"_s);
    EXPECT_EQ(settings.FontColourSetting(), u"$00FFFF"_s);

    open(); // the panel shows the colour in effect again
    EXPECT_EQ(panel->colour(), QColor(Qt::yellow));
    chosenColour = std::nullopt; // the chooser is cancelled
    click(u"CaptionColourPanel"_s);
    EXPECT_EQ(panel->colour(), QColor(Qt::yellow));

    chosenColour = QColor(Qt::blue);
    click(u"CaptionColourPanel"_s);
    click(u"OKButton"_s);
    EXPECT_EQ(settings.FontColourSetting(), u"$FF0000"_s);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(FontSetupDialogTest, SetSizeMakesTheWindowAsHighAsTheLinesOfTheChosenFont) {
    settings.setFontSelector(u"DejaVu Sans"_s);
    open();
    window.hideBorderNow();
    type(u"NumberOfLines"_s, u"3"_s);
    type(u"FontHeight"_s, u"30"_s);
    click(u"Button1"_s);
    QCoreApplication::processEvents();

    CanvasFont chosen = window.presenter().displayCanvas().font;
    EXPECT_EQ(chosen.name, u"DejaVu Sans"_s);
    EXPECT_EQ(chosen.pointSize, 30);
    chosen.name = u"DejaVu Sans"_s;
    const int blankHeight = QFontMetrics(chosen.toQFont()).height();
    EXPECT_EQ(window.height(), 3 * blankHeight);
    EXPECT_EQ(field<QSpinBox>(u"SignHeight"_s)->value(), window.height());
    EXPECT_EQ(settings.SignHeight(), window.height());
    EXPECT_EQ(geometry.displaySize.height(), window.height());
    EXPECT_FALSE(window.borderHidingPending()); // a size the rules set, not the operator's resize
}

} // namespace
