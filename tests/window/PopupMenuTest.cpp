#include "window/PopupMenu.h"

#include "support/QtPrinters.h"

#include <QAction>
#include <QCoreApplication>
#include <gtest/gtest.h>
#include <vector>

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

    // Each item has its command's written name, and choosing it sends that command (the Version
    // item none); only the two modes are ticked.
    QList<QAction*> items = menu.actions();
    items.removeIf([](const QAction* action) { return action->isSeparator(); });
    QStringList writtenNames;
    for (const QAction* item : items)
        writtenNames << item->objectName();
    EXPECT_EQ(writtenNames, QStringList({u"FullScreen1"_s, u"Transparent1"_s, u"ChooseFontDisplaysetup1"_s,
                                         u"ChooseBackgroundImage1"_s, u"ClearBackgroundImage1"_s,
                                         u"IncreaseFontAdjust1"_s, u"DecreaseFontAdjust1"_s, u"ReRegister1"_s,
                                         u"ResetPosition1"_s, u"SaveSettingstoRegistry1"_s, u"SaveSettingstoFile1"_s,
                                         u"LoadSettingsfromfile1"_s, u"Version"_s, u"Exit1"_s}));
    std::vector<MenuCommand> chosen;
    QObject::connect(&menu, &PopupMenu::commandChosen, [&](MenuCommand command) { chosen.push_back(command); });
    for (QAction* item : items) {
        const std::size_t before = chosen.size();
        item->trigger();
        const MenuCommand own = MenuCommand(items.indexOf(item));
        EXPECT_EQ(menu.item(own), item) << item->text().toStdString();
        if (own == MenuCommand::Version) {
            EXPECT_EQ(chosen.size(), before);
        } else {
            ASSERT_EQ(chosen.size(), before + 1) << item->text().toStdString();
            EXPECT_EQ(chosen.back(), own);
        }
        EXPECT_EQ(item->isCheckable(), own == MenuCommand::FullScreen || own == MenuCommand::Transparent)
            << item->text().toStdString();
    }
    menu.hide();
}

TEST(PopupMenuTest, TheModeTicksAreSetOnlyByTheirOwner) {
    PopupMenu menu;
    menu.item(MenuCommand::FullScreen)->trigger();
    menu.item(MenuCommand::Transparent)->trigger();
    EXPECT_FALSE(menu.item(MenuCommand::FullScreen)->isChecked()); // nobody switched the mode on
    EXPECT_FALSE(menu.item(MenuCommand::Transparent)->isChecked());

    bool fullScreen = false;
    QObject::connect(menu.item(MenuCommand::FullScreen), &QAction::triggered, [&] {
        fullScreen = !fullScreen;
        menu.item(MenuCommand::FullScreen)->setChecked(fullScreen);
    });
    menu.item(MenuCommand::FullScreen)->trigger();
    EXPECT_TRUE(menu.item(MenuCommand::FullScreen)->isChecked());
    menu.item(MenuCommand::FullScreen)->trigger();
    EXPECT_FALSE(menu.item(MenuCommand::FullScreen)->isChecked());
    menu.item(MenuCommand::Transparent)->setChecked(true);
    EXPECT_TRUE(menu.item(MenuCommand::Transparent)->isChecked());
}

TEST(PopupMenuTest, TheFontAdjustItemsOpenTheMenuAgainWhereItWasLastOpened) {
    PopupMenu menu;
    for (QAction* item : {menu.item(MenuCommand::IncreaseFontAdjust), menu.item(MenuCommand::DecreaseFontAdjust)}) {
        menu.popupAt(QPoint(40, 30));
        menu.hide();
        item->trigger();
        QCoreApplication::processEvents();
        EXPECT_TRUE(menu.isVisible()) << item->text().toStdString();
        EXPECT_EQ(menu.lastPopupPoint(), QPoint(40, 30));
        menu.hide();
    }
    menu.item(MenuCommand::ReRegister)->trigger();
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
    menu.item(MenuCommand::IncreaseFontAdjust)->trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(menu.isVisible());
    EXPECT_EQ(menu.pos(), opened);
    menu.hide();
}

} // namespace
