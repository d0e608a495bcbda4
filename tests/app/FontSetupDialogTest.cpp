#include "app/FontSetupDialog.h"

#include "app/ColourPanel.h"
#include "app/SetupDialogHost.h"
#include "support/QtPrinters.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr ColourValue Blue = 0xFF0000;

// A display whose window is of a given size and whose lines are 20 pixels high per 10 points of font,
// whatever the font.
struct FakeDisplay : SetupDialogHost {
    QSize windowSize() const override { return size; }
    int lineHeight(const QString& fontName, int pointSize) const override {
        askedFont = fontName;
        return 2 * pointSize;
    }

    QSize size{352, 64};
    mutable QString askedFont;
};

// An operator who picks the colour a test names, and what the chooser was opened with.
struct ChosenColour : ColourChooser {
    std::optional<QColor> chooseColour(QColor initial, QWidget*) override {
        offered = initial;
        return chosen;
    }

    std::optional<QColor> chosen;
    QColor offered;
};

// The dialog driven as the operator drives it, clicks and typing, with what it says of the display.
class FontSetupDialogTest : public testing::Test {
protected:
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

    FakeDisplay display;
    DisplaySettings settings;
    ChosenColour colours;
    FontSetupDialog dialog{settings, display, colours};
    QSignalSpy applied{&dialog, &FontSetupDialog::applied};
    QSignalSpy sizeFromLinesRequested{&dialog, &FontSetupDialog::sizeFromLinesRequested};
};

TEST_F(FontSetupDialogTest, ShowingTakesTheWindowSizeAndTheColourInEffectAndCentresOnThePrimaryScreen) {
    display.size = QSize(500, 120);
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

// A monitor name is kept, and listed while its monitor is not connected; a number typed in chooses
// by number alone.
TEST_F(FontSetupDialogTest, AMonitorIsChosenByNameOrByNumber) {
    open();
    auto* monitors = dialog.findChild<QComboBox*>(u"MonitorName"_s);
    ASSERT_NE(monitors, nullptr);
    settings.setMonitorNumber(1);
    settings.setMonitorName(u"HDMI-9"_s);
    dialog.refreshFields();
    EXPECT_EQ(monitors->currentData().toString(), u"HDMI-9"_s);
    EXPECT_TRUE(monitors->currentText().contains(u"not connected"_s));
    Q_EMIT monitors->activated(monitors->currentIndex()); // chosen again, still not connected
    EXPECT_EQ(settings.MonitorName(), u"HDMI-9"_s);
    EXPECT_EQ(settings.MonitorNumber(), 1);

    type(u"MonitorNumber"_s, u"3"_s);
    EXPECT_EQ(settings.MonitorNumber(), 3);
    EXPECT_TRUE(settings.MonitorName().isEmpty());
    EXPECT_EQ(monitors->currentIndex(), 0); // "(by number)"
    EXPECT_EQ(monitors->findData(u"HDMI-9"_s), -1);
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
    QString overrideFontName;
    int overrideFontSize;
};

class FontSetupDialogApplyTest : public FontSetupDialogTest, public testing::WithParamInterface<ApplyCase> {};

TEST_P(FontSetupDialogApplyTest, MakesTheChoicesTheCaptionFontAndColourAndSaysSo) {
    const ApplyCase& test = GetParam();
    settings.setFontSelector(u"DejaVu Serif"_s);
    settings.setFontOverride(test.fontOverride);
    open();
    type(u"FontHeight"_s, u"40"_s);
    type(u"SignWidth"_s, u"640"_s);
    type(u"SignHeight"_s, u"96"_s);
    colours.chosen = QColor(Qt::blue);
    click(u"CaptionColourPanel"_s);
    ASSERT_EQ(applied.count(), 0);
    click(u"ApplyButton"_s);

    EXPECT_EQ(applied.count(), 1);
    EXPECT_EQ(settings.OverrideFontName(), test.overrideFontName);
    EXPECT_EQ(settings.OverrideFontSize(), test.overrideFontSize);
    EXPECT_EQ(QSize(settings.SignWidth(), settings.SignHeight()), QSize(640, 96));
    EXPECT_EQ(settings.FontColourSetting(), u"$FF0000"_s);
    EXPECT_TRUE(dialog.isVisible());
}

INSTANTIATE_TEST_SUITE_P(Cases, FontSetupDialogApplyTest,
                         testing::ValuesIn(std::vector<ApplyCase>{
                             {"OverrideOn", true, u"DejaVu Serif"_s, 40},
                             {"OverrideOff", false, QString(), 0},
                         }),
                         [](const testing::TestParamInfo<ApplyCase>& info) { return std::string(info.param.name); });

TEST_F(FontSetupDialogTest, AChosenColourTakesEffectOnlyThroughApply) {
    ColourPanel* panel = field<ColourPanel>(u"CaptionColourPanel"_s);
    open();
    colours.chosen = QColor(Qt::blue);
    click(u"CaptionColourPanel"_s);
    EXPECT_EQ(colours.offered, QColor(Qt::yellow));
    EXPECT_EQ(panel->colour(), QColor(Qt::blue));
    EXPECT_EQ(panel->grab().toImage().pixelColor(4, 4), QColor(Qt::blue));
    click(u"CancelButton"_s);
    EXPECT_EQ(settings.FontColourSetting(), u"$00FFFF"_s);

    open(); // the panel shows the colour in effect again
    EXPECT_EQ(panel->colour(), QColor(Qt::yellow));
    colours.chosen = std::nullopt; // the chooser is cancelled
    click(u"CaptionColourPanel"_s);
    EXPECT_EQ(panel->colour(), QColor(Qt::yellow));

    colours.chosen = QColor(Qt::blue);
    click(u"CaptionColourPanel"_s);
    click(u"OKButton"_s);
    EXPECT_EQ(settings.FontColourSetting(), u"$FF0000"_s);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(FontSetupDialogTest, SetSizeAsksForTheLinesOfTheChosenFontAndShowsTheSizeTheWindowTook) {
    settings.setFontSelector(u"DejaVu Sans"_s);
    open();
    type(u"NumberOfLines"_s, u"3"_s);
    type(u"FontHeight"_s, u"30"_s);
    // The window takes a height of its own choosing, as a window manager may make it.
    QObject::connect(&dialog, &FontSetupDialog::sizeFromLinesRequested, &dialog,
                     [this](int height) { settings.setSignHeight(height + 1); });
    click(u"Button1"_s);

    EXPECT_EQ(display.askedFont, u"DejaVu Sans"_s);
    ASSERT_EQ(sizeFromLinesRequested.count(), 1);
    EXPECT_EQ(sizeFromLinesRequested.at(0).at(0).toInt(), 3 * 60);
    EXPECT_EQ(field<QSpinBox>(u"SignHeight"_s)->value(), 3 * 60 + 1);
    EXPECT_EQ(applied.count(), 0); // the font and colour choices wait for Apply
}

} // namespace
