#include "window/PopupMenu.h"

#include "support/QtPrinters.h"

#include <QAction>
#include <QCoreApplication>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// The menu as the operator reads it: item texts, "-" for a separator.
QStringList itemTexts(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions())
        texts << (action->isSeparator() ? u"-"_s : action->text());
    return texts;
}

TEST(PopupMenuTest, ItemsInTheirOrder) {
    PopupMenu menu;
    menu.setVersionText(u"1.0.0.0"_s);
    const QStringList expected{u"Full Screen"_s,
                               u"Transparent"_s,
                               u"-"_s,
                               u"Choose Font/Display setup"_s,
                               u"Choose Background Image"_s,
                               u"Clear Background Image"_s,
                               u"-"_s,
                               u"Increase Font Adjust"_s,
                               u"Decrease Font Adjust"_s,
                               u"-"_s,
                               u"Re-Register"_s,
                               u"-"_s,
                               u"Reset Position"_s,
                               u"-"_s,
                               u"Save Settings to Registry"_s,
                               u"Save Settings to File"_s,
                               u"Load Settings from file"_s,
                               u"-"_s,
                               u"Software Version: 1.0.0.0"_s,
                               u"-"_s,
                               u"Exit"_s};
    EXPECT_EQ(itemTexts(menu), expected);

    // Each command's action is the item of its text, and has the command's written name.
    const QList<QAction*> named{menu.FullScreen1,
                                menu.Transparent1,
                                menu.ChooseFontDisplaysetup1,
                                menu.ChooseBackgroundImage1,
                                menu.ClearBackgroundImage1,
                                menu.IncreaseFontAdjust1,
                                menu.DecreaseFontAdjust1,
                                menu.ReRegister1,
                                menu.ResetPosition1,
                                menu.SaveSettingstoRegistry1,
                                menu.SaveSettingstoFile1,
                                menu.LoadSettingsfromfile1,
                                menu.Version,
                                menu.Exit1};
    QList<QAction*> items = menu.actions();
    items.removeIf([](const QAction* action) { return action->isSeparator(); });
    EXPECT_EQ(items, named);
    QStringList writtenNames;
    for (const QAction* item : items)
        writtenNames << item->objectName();
    EXPECT_EQ(writtenNames, QStringList({u"FullScreen1"_s, u"Transparent1"_s, u"ChooseFontDisplaysetup1"_s,
                                         u"ChooseBackgroundImage1"_s, u"ClearBackgroundImage1"_s,
                                         u"IncreaseFontAdjust1"_s, u"DecreaseFontAdjust1"_s, u"ReRegister1"_s,
                                         u"ResetPosition1"_s, u"SaveSettingstoRegistry1"_s, u"SaveSettingstoFile1"_s,
                                         u"LoadSettingsfromfile1"_s, u"Version"_s, u"Exit1"_s}));
    for (const QAction* item : items)
        EXPECT_EQ(item->isCheckable(), item == menu.FullScreen1 || item == menu.Transparent1)
            << item->text().toStdString();
}

TEST(PopupMenuTest, TheModeTicksAreSetOnlyByTheirOwner) {
    PopupMenu menu;
    menu.FullScreen1->trigger();
    menu.Transparent1->trigger();
    EXPECT_FALSE(menu.FullScreen1->isChecked()); // nobody switched the mode on
    EXPECT_FALSE(menu.Transparent1->isChecked());

    bool fullScreen = false;
    QObject::connect(menu.FullScreen1, &QAction::triggered, [&] {
        fullScreen = !fullScreen;
        menu.FullScreen1->setChecked(fullScreen);
    });
    menu.FullScreen1->trigger();
    EXPECT_TRUE(menu.FullScreen1->isChecked());
    menu.FullScreen1->trigger();
    EXPECT_FALSE(menu.FullScreen1->isChecked());
    menu.Transparent1->setChecked(true);
    EXPECT_TRUE(menu.Transparent1->isChecked());
}

TEST(PopupMenuTest, TheFontAdjustItemsOpenTheMenuAgainWhereItWasLastOpened) {
    PopupMenu menu;
    for (QAction* item : {menu.IncreaseFontAdjust1, menu.DecreaseFontAdjust1}) {
        menu.popupAt(QPoint(40, 30));
        menu.hide();
        item->trigger();
        QCoreApplication::processEvents();
        EXPECT_TRUE(menu.isVisible()) << item->text().toStdString();
        EXPECT_EQ(menu.lastPopupPoint(), QPoint(40, 30));
        menu.hide();
    }
    menu.ReRegister1->trigger();
    QCoreApplication::processEvents();
    EXPECT_FALSE(menu.isVisible());
}

TEST(PopupMenuTest, TheFontAdjustItemsOpenTheMenuAgainWhereTheTrayIconOpenedIt) {
    PopupMenu menu;
    menu.popupAt(QPoint(40, 30));
    menu.hide();
    // The tray icon opens its context menu itself, at a point of its own choosing.
    menu.popup(QPoint(300, 200));
    const QPoint opened = menu.pos();
    menu.hide();
    menu.IncreaseFontAdjust1->trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(menu.isVisible());
    EXPECT_EQ(menu.pos(), opened);
    menu.hide();
}

} // namespace
