#include "app/DisplayApplication.h"

#include "app/EventLog.h"
#include "app/StoredSettings.h"
#include "support/CaptionDocumentBuilder.h"
#include "support/ImageProbes.h"
#include "support/NetFakes.h"
#include "support/QtPrinters.h"
#include "support/WindowFakes.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// An operator who picks the settings file a test names.
struct ChosenSettingsFile : SettingsFileChooser {
    QString chooseSettingsFile(FileUse) override { return file; }

    QString file;
};

// The running display on the offscreen platform: its listeners on ephemeral ports, its sign-on
// going nowhere, its store in a file of the test's own.
std::unique_ptr<DisplayApplication> startDisplay(const QString& storeFile,
                                                 DisplayQueries queries = {.adapters = noAdapters}) {
    auto display = std::make_unique<DisplayApplication>(
        CommandLine({u"veltrinox-lcd"_s, u"/port"_s, u"0"_s, u"/capport"_s, u"0"_s}),
        std::make_unique<SettingsStore>(storeFile), queries);
    EXPECT_TRUE(display->start());
    QCoreApplication::processEvents();
    return display;
}

// The running display on the offscreen platform: its listeners on ephemeral ports, its sign-on
// going nowhere, its store in a file of the test's own.
class DisplayApplicationTest : public testing::Test {
protected:
    QString path(const QString& name) const { return directory.filePath(name); }
    PopupMenu& menu() { return display->window().popupMenu(); }
    QString fileText(const QString& name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    void writeFile(const QString& name, const QByteArray& bytes) const {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir directory;
    ChosenSettingsFile settingsFiles;
    ChosenPictureFile pictureFiles;
    std::unique_ptr<DisplayApplication> display = startDisplay(
        path(u"store.conf"_s), {.adapters = noAdapters, .settingsFiles = settingsFiles, .pictureFiles = pictureFiles});
};

TEST_F(DisplayApplicationTest, MenuCommandsChangeTheModesAndTheirTicks) {
    menu().item(MenuCommand::FullScreen)->trigger();
    EXPECT_TRUE(display->geometry().fullScreen());
    EXPECT_TRUE(menu().item(MenuCommand::FullScreen)->isChecked());

    menu().item(MenuCommand::Transparent)->trigger(); // transparency ends full screen
    EXPECT_TRUE(display->window().transparentMode());
    EXPECT_TRUE(menu().item(MenuCommand::Transparent)->isChecked());
    EXPECT_FALSE(display->geometry().fullScreen());
    EXPECT_FALSE(menu().item(MenuCommand::FullScreen)->isChecked());

    menu().item(MenuCommand::FullScreen)->trigger(); // and full screen ends transparency
    EXPECT_FALSE(display->window().transparentMode());
    EXPECT_FALSE(menu().item(MenuCommand::Transparent)->isChecked());
    EXPECT_TRUE(menu().item(MenuCommand::FullScreen)->isChecked());
}

TEST_F(DisplayApplicationTest, FontAdjustFromTheMenuAndTheKeysShowsInTheDialog) {
    const auto* field = display->setupDialog().findChild<QSpinBox*>(u"FontAdjustSpin"_s);
    ASSERT_NE(field, nullptr);
    menu().item(MenuCommand::IncreaseFontAdjust)->trigger();
    EXPECT_EQ(display->displaySettings().FontAdjustSpin(), 105);
    QTest::keyClick(&display->window(), Qt::Key_Down);
    QTest::keyClick(&display->window(), Qt::Key_Down);
    EXPECT_EQ(display->displaySettings().FontAdjustSpin(), 103);
    EXPECT_EQ(field->value(), 103);
    menu().close();
}

TEST_F(DisplayApplicationTest, TheFontAdjustMenuItemsStepByFiveWithinItsRange) {
    DisplaySettings& settings = display->displaySettings();
    settings.setFontAdjustSpin(998);
    menu().item(MenuCommand::IncreaseFontAdjust)->trigger();
    EXPECT_EQ(settings.FontAdjustSpin(), 1000);
    settings.setFontAdjustSpin(12);
    menu().item(MenuCommand::DecreaseFontAdjust)->trigger();
    EXPECT_EQ(settings.FontAdjustSpin(), 10);
    QCoreApplication::processEvents(); // the menu opens again
    menu().close();
}

TEST_F(DisplayApplicationTest, TheSetupCommandShowsTheDialogAndTheDisplayStopsStayingOnTop) {
    menu().item(MenuCommand::ChooseFontDisplaySetup)->trigger();
    EXPECT_TRUE(display->setupDialog().isVisible());
    EXPECT_FALSE(display->window().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    display->setupDialog().hide();
}

TEST_F(DisplayApplicationTest, TheDialogsApplyAndSetSizeReachTheDisplay) {
    FontSetupDialog& dialog = display->setupDialog();
    menu().item(MenuCommand::ChooseFontDisplaySetup)->trigger();
    auto* lines = dialog.findChild<QSpinBox*>(u"NumberOfLines"_s);
    auto* fontHeight = dialog.findChild<QSpinBox*>(u"FontHeight"_s);
    auto* signWidth = dialog.findChild<QSpinBox*>(u"SignWidth"_s);
    ASSERT_TRUE(lines && fontHeight && signWidth);
    lines->setValue(2);
    fontHeight->setValue(30);
    QTest::mouseClick(dialog.findChild<QPushButton*>(u"Button1"_s), Qt::LeftButton);
    const CanvasFont& displayFont = display->window().presenter().displayFont();
    EXPECT_EQ(displayFont.pointSize, 30);
    EXPECT_EQ(display->window().height(), 2 * QFontMetrics(displayFont.toQFont()).height());
    EXPECT_EQ(dialog.findChild<QSpinBox*>(u"SignHeight"_s)->value(), display->window().height());

    signWidth->setValue(500);
    QTest::mouseClick(dialog.findChild<QPushButton*>(u"ApplyButton"_s), Qt::LeftButton);
    EXPECT_EQ(display->window().width(), 500);
    dialog.hide();
}

TEST_F(DisplayApplicationTest, ASavedSettingsFileLoadsBackTheDisplayAsItWas) {
    PresentationWindow& window = display->window();
    DisplaySettings& settings = display->displaySettings();
    window.setGeometry(40, 30, 640, 200); // the content area, as the settings keep it
    settings.setNumberOfLines(4);
    settings.setFontHeight(36);
    settings.setFontSelector(u"DejaVu Sans"_s);
    settings.setFontAdjustSpin(120);
    settings.setEnableWordWrap(true);
    settings.setAntiAliased(true);
    settings.setMonitorNumber(1);
    settings.setFontColourSetting(u"$FF0000"_s);
    settingsFiles.file = path(u"venue.ini"_s);
    menu().item(MenuCommand::SaveSettingsToFile)->trigger();
    EXPECT_TRUE(fileText(u"venue.ini"_s).contains(u"[Display]\r\nForm Top=30\r\nForm Left=40\r\n"_s));

    window.setGeometry(0, 0, 300, 100);
    settings.setNumberOfLines(1);
    settings.setFontHeight(10);
    settings.setFontSelector(u"Arial"_s);
    settings.setFontAdjustSpin(100);
    settings.setEnableWordWrap(false);
    settings.setMonitorNumber(0);
    settings.setFontColourSetting(u"$00FFFF"_s);
    menu().item(MenuCommand::LoadSettingsFromFile)->trigger();

    EXPECT_EQ(window.geometry(), QRect(40, 30, 640, 200));
    EXPECT_EQ(settings.NumberOfLines(), 4);
    EXPECT_EQ(settings.FontHeight(), 36);
    EXPECT_EQ(settings.FontSelector(), u"DejaVu Sans"_s);
    EXPECT_EQ(settings.FontAdjustSpin(), 120);
    EXPECT_TRUE(settings.EnableWordWrap());
    EXPECT_TRUE(settings.AntiAliased());
    EXPECT_EQ(settings.MonitorNumber(), 1);
    EXPECT_EQ(settings.FontColourSetting(), u"$FF0000"_s); // "$" and six digits again after Apply
    EXPECT_EQ(display->setupDialog().findChild<QSpinBox*>(u"NumberOfLines"_s)->value(), 4);
}

TEST_F(DisplayApplicationTest, AnEmptySettingsFileGivesEveryFileDefault) {
    QFile(path(u"empty.ini"_s)).open(QIODevice::WriteOnly);
    display->displaySettings().setAntiAliased(false);
    display->settingsCommands().loadSettingsFile(path(u"empty.ini"_s));
    const DisplaySettings& settings = display->displaySettings();
    EXPECT_EQ(display->window().geometry(), QRect(0, 0, 400, 100));
    EXPECT_FALSE(display->window().isMaximized());
    EXPECT_EQ(settings.NumberOfLines(), 3);
    EXPECT_EQ(settings.FontHeight(), 44);
    EXPECT_EQ(settings.FontAdjustSpin(), 100);
    EXPECT_TRUE(settings.AntiAliased());
    EXPECT_EQ(settings.FontSelector(), u"Arial"_s);
    EXPECT_EQ(settings.FontColourSetting(), u"$00FFFF"_s);
}

TEST_F(DisplayApplicationTest, ASettingsFileThatCannotBeWrittenIsReportedAndLeftWhole) {
    // A directory where the file should be: no save can replace it, whoever runs the test.
    QDir(directory.path()).mkdir(u"venue.ini"_s);
    EXPECT_FALSE(display->settingsCommands().saveSettingsFile(path(u"venue.ini"_s)));
    EXPECT_EQ(display->lastWarning, u"Unable to write to "_s + path(u"venue.ini"_s));
    EXPECT_TRUE(QFileInfo(path(u"venue.ini"_s)).isDir());
}

TEST_F(DisplayApplicationTest, TheBackgroundIsStoredOnlyWhileInUse) {
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::green);
    ASSERT_TRUE(picture.save(path(u"stage.bmp"_s), "BMP"));
    pictureFiles.file = path(u"stage.bmp"_s);
    menu().item(MenuCommand::ChooseBackgroundImage)->trigger();
    ASSERT_TRUE(display->window().HasBackgroundImage());

    ASSERT_TRUE(display->settingsCommands().saveSettingsFile(path(u"with.ini"_s)));
    EXPECT_TRUE(fileText(u"with.ini"_s).contains(u"Background Image="_s + path(u"stage.bmp"_s)));
    menu().item(MenuCommand::ClearBackgroundImage)->trigger();
    ASSERT_TRUE(display->settingsCommands().saveSettingsFile(path(u"without.ini"_s)));
    EXPECT_TRUE(fileText(u"without.ini"_s).contains(u"Background Image=\r\n"_s));

    display->settingsCommands().loadSettingsFile(path(u"with.ini"_s)); // a file naming a picture that exists loads it
    EXPECT_TRUE(display->window().HasBackgroundImage());
}

TEST_F(DisplayApplicationTest, TheDisplayStaysOffTheTopWhileTheBorderComesAndGoes) {
    PresentationWindow& window = display->window();
    menu().item(MenuCommand::ChooseFontDisplaySetup)->trigger();
    window.hideBorderNow();
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint)) << "border hidden";
    window.enableMouseMove();
    QTest::mouseMove(&window, QPoint(20, 20));
    ASSERT_FALSE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint)) << "border shown";
    window.setStayOnTop(); // the next effect step
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    display->setupDialog().hide();
}

TEST_F(DisplayApplicationTest, LeavingFullScreenGivesBackTheWindowsOwnGeometry) {
    PresentationWindow& window = display->window();
    const QRect own(100, 80, 400, 150);
    for (QAction* leave : {menu().item(MenuCommand::FullScreen), menu().item(MenuCommand::Transparent)}) {
        window.applyGeometry(own);
        menu().item(MenuCommand::FullScreen)->trigger();
        window.hideBorderNow(); // full screen takes the monitor as the border hides
        ASSERT_NE(window.geometry(), own);
        leave->trigger();
        EXPECT_EQ(window.geometry(), own) << leave->text().toStdString();
        EXPECT_FALSE(window.isMaximized());
        window.hideBorderNow();
        EXPECT_EQ(window.geometry(), own) << leave->text().toStdString() << ", border hidden again";
        if (window.transparentMode())
            menu().item(MenuCommand::Transparent)->trigger();
    }
}

TEST_F(DisplayApplicationTest, ASettingsFileAskingForFullScreenTurnsItOnWithItsTick) {
    writeFile(u"full.ini"_s, "[Display]\r\nForm Full Screen=1\r\nForm Transparent=1\r\nForm Width=500\r\n");
    display->settingsCommands().loadSettingsFile(path(u"full.ini"_s));
    EXPECT_TRUE(display->geometry().fullScreen());
    EXPECT_TRUE(menu().item(MenuCommand::FullScreen)->isChecked());
    EXPECT_FALSE(display->window().transparentMode());
    EXPECT_FALSE(menu().item(MenuCommand::Transparent)->isChecked());

    writeFile(u"normal.ini"_s, "[Display]\r\nForm Full Screen=0\r\nForm Width=500\r\n");
    display->settingsCommands().loadSettingsFile(path(u"normal.ini"_s));
    EXPECT_FALSE(display->geometry().fullScreen());
    EXPECT_FALSE(menu().item(MenuCommand::FullScreen)->isChecked());
    EXPECT_EQ(display->window().size(), QSize(500, 100));
}

TEST_F(DisplayApplicationTest, ACopyRefusedTheFeedPortShowsNoWindow) {
    QTcpServer running;
    ASSERT_TRUE(running.listen(QHostAddress::AnyIPv4));
    DisplayApplication refused(
        CommandLine({u"veltrinox-lcd"_s, u"/port"_s, QString::number(running.serverPort()), u"/capport"_s, u"0"_s}),
        std::make_unique<SettingsStore>(path(u"refused.conf"_s)), {.adapters = noAdapters});
    ASSERT_FALSE(refused.start());
    refused.window().hideBorderNow(); // the border timer running out while the message shows
    EXPECT_FALSE(refused.window().isVisible());
    QCoreApplication::processEvents(); // the exit the failure asked for, while no event loop runs
}

// Every pair of stored modes starts with the ticks showing the modes; full screen, read last,
// wins over transparency.
TEST_F(DisplayApplicationTest, AStartShowsTheStoredModesInTheirTicks) {
    struct Case {
        const char* fullScreen;
        const char* transparent;
        bool fullScreenOn;
        bool transparentOn;
    };
    const Case cases[] = {{"FALSE", "FALSE", false, false},
                          {"TRUE", "FALSE", true, false},
                          {"FALSE", "TRUE", false, true},
                          {"TRUE", "TRUE", true, false}};
    for (const Case& c : cases) {
        writeFile(u"modes.conf"_s, QByteArray("[General]\nForm%20Full%20Screen=") + c.fullScreen +
                                       "\nForm%20Transparent=" + c.transparent + "\n");
        const auto started = startDisplay(path(u"modes.conf"_s));
        const PopupMenu& items = started->window().popupMenu();
        const std::string name = std::string(c.fullScreen) + " " + c.transparent;
        EXPECT_EQ(started->geometry().fullScreen(), c.fullScreenOn) << name;
        EXPECT_EQ(items.item(MenuCommand::FullScreen)->isChecked(), c.fullScreenOn) << name;
        EXPECT_EQ(started->window().transparentMode(), c.transparentOn) << name;
        EXPECT_EQ(items.item(MenuCommand::Transparent)->isChecked(), c.transparentOn) << name;
    }
}

// Stores the display cannot use as they are, by hand, by another program or by a failing disk: every
// value that cannot be read takes its default, and the display starts.
TEST_F(DisplayApplicationTest, AStoreHoldingGarbageStartsTheDisplayWithItsDefaults) {
    const QByteArray stores[] = {
        QByteArray("\x00\xff\xfe[General\n=\n\x01\x02\x7f", 12) + QByteArray(4000, '\x9c'),
        "[General]\nForm%20Width=wide\nForm%20Height=@ByteArray(\\0\\0)\nForm%20Full%20Screen=maybe\n"
        "Font%20colour=@@@\nFont%20name=@Variant(\\0\\0\\0\\x7f)\nForm%20Left=0x\n"
        "Form%20Top=99999999999999999999\nForm%20Transparent=@Invalid()\n",
        "[General]\nForm%20Width\\sub=1\n[Form%20Width]\nx=1\n[General]\nForm%20Width=1,2,3\n",
    };
    for (const QByteArray& bytes : stores) {
        writeFile(u"garbage.conf"_s, bytes);
        const auto started = startDisplay(path(u"garbage.conf"_s));
        EXPECT_EQ(started->window().size(), QSize(352, 64)) << bytes.toStdString();
        EXPECT_EQ(started->window().pos(), QPoint(0, 0));
        EXPECT_FALSE(started->window().transparentMode());
        EXPECT_FALSE(started->geometry().fullScreen());
        EXPECT_EQ(started->displaySettings().FontColourSetting(), u"$00FFFF"_s);
    }
}

TEST_F(DisplayApplicationTest, AStoreThatCannotBeWrittenIsReportedAndTheDisplayStaysOpen) {
    // A file where the store's folder should be: nothing can be written there, whoever runs this.
    writeFile(u"blocked"_s, "not a folder");
    const auto started = startDisplay(path(u"blocked/store.conf"_s));
    EXPECT_EQ(started->window().size(), QSize(352, 64));
    EXPECT_FALSE(started->saveToStore());
    EXPECT_EQ(started->lastWarning, u"Unable to write to "_s + path(u"blocked/store.conf"_s));
}

TEST_F(DisplayApplicationTest, ABackgroundPictureGoneOrDamagedBetweenRunsIsLeftOut) {
    writeFile(u"damaged.bmp"_s, "BM\x10\0\0\0 not a bitmap any more");
    for (const QString& picture : {path(u"deleted.bmp"_s), path(u"damaged.bmp"_s)}) {
        writeFile(u"picture.conf"_s, "[General]\nBackground%20Image=" + picture.toUtf8() + "\n");
        const auto started = startDisplay(path(u"picture.conf"_s));
        EXPECT_FALSE(started->window().HasBackgroundImage()) << picture.toStdString();
    }
}

TEST_F(DisplayApplicationTest, ClosingWhileControllersAreConnectedAndAnEffectRunsIsClean) {
    QTcpSocket controller;
    controller.connectToHost(QHostAddress::LocalHost, display->listeningFeedPort());
    ASSERT_TRUE(controller.waitForConnected(5000));
    const QString document =
        CaptionDocumentBuilder().english(u"Scrolling"_s).effect(EntryEffect::ScrollUp, u"Slow"_s).xml();
    controller.write(reinterpret_cast<const char*>(document.utf16()), document.size() * 2);
    controller.write(reinterpret_cast<const char*>(document.utf16()), 40); // and half of the next
    controller.flush();
    const QDeadlineTimer deadline(5000);
    while (!display->window().presenter().effectRunning() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_TRUE(display->window().presenter().effectRunning());

    // The animation clock stops before what it steps goes; the controller's connection just ends.
    display.reset();
    const QDeadlineTimer closing(5000);
    while (controller.state() == QAbstractSocket::ConnectedState && !closing.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_NE(controller.state(), QAbstractSocket::ConnectedState);
}

// The exit question, answered from outside as the operator would.
struct ExitCase {
    const char* name;
    QMessageBox::StandardButton answer;
    bool closes;
    qsizetype storedValues;
};

class ExitQuestionTest : public DisplayApplicationTest, public testing::WithParamInterface<ExitCase> {};

TEST_P(ExitQuestionTest, SavesOnlyOnYesAndKeepsRunningOnCancel) {
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box->text() != u"Exiting program, save the settings?"_s)
            return;
        answer.stop();
        box->button(GetParam().answer)->click();
    });
    answer.start(10);
    const bool closed = display->window().close();
    QCoreApplication::processEvents(); // the exit that a close asks for, while no event loop runs
    EXPECT_EQ(closed, GetParam().closes);
    EXPECT_EQ(display->window().isVisible(), !GetParam().closes);
    const QStringList stored = QSettings(path(u"store.conf"_s), QSettings::IniFormat).allKeys();
    EXPECT_EQ(stored.size(), GetParam().storedValues) << stored.join(u", "_s).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Answers, ExitQuestionTest,
                         testing::Values(ExitCase{"Yes", QMessageBox::Yes, true, 18},
                                         ExitCase{"No", QMessageBox::No, true, 0},
                                         ExitCase{"Cancel", QMessageBox::Cancel, false, 0}),
                         [](const testing::TestParamInfo<ExitCase>& info) { return std::string(info.param.name); });

// Answers the next exit question with the button, as the operator would.
void answerExitQuestion(QMessageBox::StandardButton button) {
    auto* answer = new QTimer;
    QObject::connect(answer, &QTimer::timeout, [answer, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box->text() != u"Exiting program, save the settings?"_s)
            return;
        answer->deleteLater();
        answer->stop();
        box->button(button)->click();
    });
    answer->start(10);
}

// The log says why the display ended: a close refused with Cancel leaves no reason behind. (Each case
// closes the display for good: a process asked to exit runs no modal question again.)
struct StopCase {
    const char* name;
    bool cancelFirst;
    bool fromMenu;
    QString stopLine;
};

class DisplayEventLogTest : public testing::TestWithParam<StopCase> {};

TEST_P(DisplayEventLogTest, SaysWhatClosedTheDisplayAndWhereTheSettingsWent) {
    QTemporaryDir directory;
    const QString store = directory.filePath(u"store.conf"_s);
    {
        QFile discarded(u"/dev/null"_s);
        ASSERT_TRUE(discarded.open(QIODevice::WriteOnly));
        EventLog log(discarded.handle(), directory.filePath(u"display.log"_s));
        DisplayApplication display(CommandLine({u"veltrinox-lcd"_s, u"/port"_s, u"0"_s, u"/capport"_s, u"0"_s}),
                                   std::make_unique<SettingsStore>(store), {.adapters = noAdapters});
        display.setEventLog(log);
        ASSERT_TRUE(display.start());
        if (GetParam().cancelFirst) {
            answerExitQuestion(QMessageBox::Cancel);
            display.window().popupMenu().item(MenuCommand::Exit)->trigger();
        }
        answerExitQuestion(QMessageBox::Yes);
        if (GetParam().fromMenu)
            display.window().popupMenu().item(MenuCommand::Exit)->trigger();
        else
            display.window().close();
        EXPECT_FALSE(display.window().isVisible());
    }
    QFile file(directory.filePath(u"display.log"_s));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString lines = QString::fromUtf8(file.readAll());
    EXPECT_EQ(lines.count(u" stop     "_s), 1) << lines.toStdString();
    EXPECT_TRUE(lines.contains(GetParam().stopLine + u'\n')) << lines.toStdString();
    EXPECT_TRUE(lines.contains(u" settings saved to \""_s + store + u"\"\n"_s)) << lines.toStdString();
    EXPECT_TRUE(lines.contains(u" sign-on  sent to port 9999, datagrams: 0 ("_s)) << lines.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Closes, DisplayEventLogTest,
    testing::Values(StopCase{"WindowAfterCancel", true, false, u" stop     the window was closed: the display ends"_s},
                    StopCase{"ExitFromTheMenu", false, true, u" stop     \"Exit\" from the menu: the display ends"_s}),
    [](const testing::TestParamInfo<StopCase>& info) { return std::string(info.param.name); });

// "Save Settings to Registry" and a start from that store give back the display as it was.
struct RoundTripCase {
    const char* name;
    bool fullScreen;
    bool transparent;
};

class SaveAndRestartTest : public DisplayApplicationTest, public testing::WithParamInterface<RoundTripCase> {};

TEST_P(SaveAndRestartTest, GivesBackEveryValue) {
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::green);
    ASSERT_TRUE(picture.save(path(u"stage.bmp"_s), "BMP"));
    PresentationWindow& window = display->window();
    DisplaySettings& settings = display->displaySettings();
    window.applyGeometry(QRect(120, 90, 480, 160));
    settings.setFixTopLeft(false);
    settings.setMonitorNumber(2);
    settings.setFontOverride(true);
    settings.setEnableWordWrap(true);
    settings.setNumberOfLines(4);
    settings.setFontHeight(36);
    settings.setFontAdjustSpin(130);
    settings.setAntiAliased(true);
    settings.setFontColourSetting(u"$FF0000"_s);
    settings.setFontSelector(u"DejaVu Sans"_s);
    ASSERT_TRUE(window.loadBackgroundImage(path(u"stage.bmp"_s)));
    if (GetParam().transparent)
        menu().item(MenuCommand::Transparent)->trigger();
    if (GetParam().fullScreen) {
        menu().item(MenuCommand::FullScreen)->trigger();
        window.hideBorderNow();
    }
    ASSERT_TRUE(display->saveToStore());
    display.reset();

    const auto restarted = startDisplay(path(u"store.conf"_s));
    const DisplaySettings& again = restarted->displaySettings();
    EXPECT_EQ(restarted->geometry().fullScreen(), GetParam().fullScreen);
    EXPECT_EQ(restarted->window().transparentMode(), GetParam().transparent);
    if (GetParam().fullScreen)
        restarted->window().popupMenu().item(MenuCommand::FullScreen)->trigger(); // back to the window's own geometry
    EXPECT_EQ(restarted->window().geometry(), QRect(120, 90, 480, 160));
    EXPECT_EQ(again.MonitorNumber(), 2);
    EXPECT_TRUE(again.FontOverride());
    EXPECT_TRUE(again.EnableWordWrap());
    EXPECT_EQ(again.NumberOfLines(), 4);
    EXPECT_EQ(again.FontHeight(), 36);
    EXPECT_EQ(again.FontAdjustSpin(), 130);
    EXPECT_TRUE(again.AntiAliased());
    EXPECT_EQ(again.FontColourSetting(), u"$FF0000"_s);
    EXPECT_EQ(again.FontSelector(), u"DejaVu Sans"_s);
    EXPECT_TRUE(restarted->window().HasBackgroundImage());
    EXPECT_EQ(restarted->window().backgroundFileName(), path(u"stage.bmp"_s));
}

INSTANTIATE_TEST_SUITE_P(Modes, SaveAndRestartTest,
                         testing::Values(RoundTripCase{"Normal", false, false},
                                         RoundTripCase{"Transparent", false, true},
                                         RoundTripCase{"FullScreen", true, false}),
                         [](const testing::TestParamInfo<RoundTripCase>& info) {
                             return std::string(info.param.name);
                         });

// The start-up switches, against a store that ticks "Fix Top left" and names no font override.
struct SwitchCase {
    const char* name;
    QStringList switches;
    bool fontOverride;
    QString overrideFontName; // empty: Apply did not run
    bool fixTopLeft;
    std::optional<QPoint> position;
    std::optional<QSize> size;
};

class StartUpSwitchTest : public testing::TestWithParam<SwitchCase> {};

TEST_P(StartUpSwitchTest, FollowTheStartUpRules) {
    QTemporaryDir directory;
    const QString storeFile = directory.filePath(u"store.conf"_s);
    {
        SettingsStore store(storeFile);
        store.writeBoolean(StoredSettings::FixTopLeft, true);
        store.writeText(StoredSettings::FontName, u"DejaVu Serif"_s);
        ASSERT_TRUE(store.sync());
    }
    DisplayApplication display(
        CommandLine(QStringList{u"veltrinox-lcd"_s, u"/port"_s, u"0"_s, u"/capport"_s, u"0"_s} + GetParam().switches),
        std::make_unique<SettingsStore>(storeFile), {.adapters = noAdapters});
    ASSERT_TRUE(display.start());
    const DisplaySettings& settings = display.displaySettings();
    EXPECT_EQ(settings.FontOverride(), GetParam().fontOverride);
    EXPECT_EQ(settings.OverrideFontName(), GetParam().overrideFontName);
    EXPECT_EQ(settings.FixTopLeft(), GetParam().fixTopLeft);
    if (GetParam().position) {
        EXPECT_EQ(display.window().geometry().topLeft(), *GetParam().position);
    }
    if (GetParam().size) {
        EXPECT_EQ(display.window().size(), *GetParam().size);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Switches, StartUpSwitchTest,
    testing::Values(SwitchCase{"None", {}, false, u""_s, true, {}, QSize(352, 64)},
                    SwitchCase{"FontNameAloneApplies", {u"/fontname"_s, u"Arial"_s}, true, u"Arial"_s, true, {}, {}},
                    SwitchCase{"FontSizeApplies", {u"/fontsize"_s, u"40"_s}, true, u"DejaVu Serif"_s, true, {}, {}},
                    SwitchCase{"MonitorApplies", {u"/monitor"_s, u"1"_s}, true, u"DejaVu Serif"_s, true, {}, {}},
                    SwitchCase{"FontNameWithWidthDoesNot",
                               {u"/fontname"_s, u"Arial"_s, u"/width"_s, u"800"_s},
                               false,
                               u""_s,
                               true,
                               {},
                               QSize(800, 64)},
                    SwitchCase{"FontNameWithAdjustDoesNot",
                               {u"/fontname"_s, u"Arial"_s, u"/adjust"_s, u"150"_s},
                               false,
                               u""_s,
                               true,
                               {},
                               {}},
                    SwitchCase{"XposUnticksFixTopLeft", {u"/xpos"_s, u"50"_s}, false, u""_s, false, QPoint(50, 0), {}},
                    SwitchCase{"YposUnticksFixTopLeft", {u"/ypos"_s, u"40"_s}, false, u""_s, false, QPoint(0, 40), {}},
                    SwitchCase{
                        "HeightSizesTheWindow", {u"/height"_s, u"300"_s}, false, u""_s, true, {}, QSize(352, 300)}),
    [](const testing::TestParamInfo<SwitchCase>& info) { return std::string(info.param.name); });

// Font sizes of a million points in the store and on the command line: the font height is held to
// its range wherever it is read (captions take it under Font Override), the base size is taken as
// given, and a caption the running display presents with them is drawn.
struct AbsurdSizeCase {
    const char* name;
    int storedFontHeight;
    QStringList arguments;
    int baseFontHeight; // 0: the window's own
};

class AbsurdFontSizeTest : public testing::TestWithParam<AbsurdSizeCase> {};

TEST_P(AbsurdFontSizeTest, IsHeldToItsRangeOrDrawnBounded) {
    QTemporaryDir directory;
    const QString storeFile = directory.filePath(u"store.conf"_s);
    {
        SettingsStore store(storeFile);
        store.writeInteger(StoredSettings::FontHeight, GetParam().storedFontHeight);
        store.writeBoolean(StoredSettings::FontOverride, true);
        ASSERT_TRUE(store.sync());
    }
    DisplayApplication display(
        CommandLine(QStringList{u"veltrinox-lcd"_s, u"/port"_s, u"0"_s, u"/capport"_s, u"0"_s} + GetParam().arguments),
        std::make_unique<SettingsStore>(storeFile), {.adapters = noAdapters});
    ASSERT_TRUE(display.start());
    EXPECT_EQ(display.displaySettings().FontHeight(), DisplaySettings::MaxFontHeight);
    EXPECT_EQ(display.window().settings().overrideFontSize, DisplaySettings::MaxFontHeight);
    if (GetParam().baseFontHeight != 0) {
        EXPECT_EQ(display.window().BaseFontHeight(), GetParam().baseFontHeight);
    }

    Presenter& presenter = display.window().presenter();
    presenter.enqueue(CaptionDocumentBuilder()
                          .english(u"\u2588"_s)
                          .colours(u"White"_s, u"Blue"_s)
                          .fontSize(u"Large"_s)
                          .effect(EntryEffect::Instant)
                          .xml());
    presenter.ShowSurtitle();
    for (int step = 0; step < 1024 && presenter.effectRunning(); ++step)
        presenter.AnimateTimerTimer();
    ASSERT_FALSE(presenter.effectRunning());
    const QRect view = QRect(-display.window().imagePosition(), display.window().size());
    EXPECT_FALSE(inkBounds(presenter.displayImage(), qRgb(0, 0, 255), view).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, AbsurdFontSizeTest,
    testing::Values(
        AbsurdSizeCase{"StoredFontHeight", 1000000, {}, 0},
        AbsurdSizeCase{"CommandLine", 28, {u"/fontsize"_s, u"1000000"_s, u"/BaseFontHeight"_s, u"1000000"_s}, 1000000}),
    [](const testing::TestParamInfo<AbsurdSizeCase>& info) { return std::string(info.param.name); });

} // namespace
