#include "PopupMenu.h"

#include <QAction>
#include <QCoreApplication>
#include <utility>

using namespace Qt::Literals::StringLiterals;

PopupMenu::PopupMenu(QWidget* parent) : QMenu(parent) {
    FullScreen1 = addModeItem(u"Full Screen"_s);
    Transparent1 = addModeItem(u"Transparent"_s);
    addSeparator();
    ChooseFontDisplaysetup1 = addAction(u"Choose Font/Display setup"_s);
    ChooseBackgroundImage1 = addAction(u"Choose Background Image"_s);
    ClearBackgroundImage1 = addAction(u"Clear Background Image"_s);
    addSeparator();
    IncreaseFontAdjust1 = addReopeningItem(u"Increase Font Adjust"_s);
    DecreaseFontAdjust1 = addReopeningItem(u"Decrease Font Adjust"_s);
    addSeparator();
    ReRegister1 = addAction(u"Re-Register"_s);
    addSeparator();
    ResetPosition1 = addAction(u"Reset Position"_s);
    addSeparator();
    SaveSettingstoRegistry1 = addAction(u"Save Settings to Registry"_s);
    SaveSettingstoFile1 = addAction(u"Save Settings to File"_s);
    LoadSettingsfromfile1 = addAction(u"Load Settings from file"_s);
    addSeparator();
    Version = addAction(QString());
    setVersionText(QCoreApplication::applicationVersion());
    addSeparator();
    Exit1 = addAction(u"Exit"_s);

    // Each item's object name is its written name, the one the rules call its command by.
    const std::pair<QAction*, const char*> writtenNames[] = {
        {FullScreen1, "FullScreen1"},
        {Transparent1, "Transparent1"},
        {ChooseFontDisplaysetup1, "ChooseFontDisplaysetup1"},
        {ChooseBackgroundImage1, "ChooseBackgroundImage1"},
        {ClearBackgroundImage1, "ClearBackgroundImage1"},
        {IncreaseFontAdjust1, "IncreaseFontAdjust1"},
        {DecreaseFontAdjust1, "DecreaseFontAdjust1"},
        {ReRegister1, "ReRegister1"},
        {ResetPosition1, "ResetPosition1"},
        {SaveSettingstoRegistry1, "SaveSettingstoRegistry1"},
        {SaveSettingstoFile1, "SaveSettingstoFile1"},
        {LoadSettingsfromfile1, "LoadSettingsfromfile1"},
        {Version, "Version"},
        {Exit1, "Exit1"},
    };
    for (const auto& [item, name] : writtenNames)
        item->setObjectName(QLatin1StringView(name));
}

QAction* PopupMenu::addModeItem(const QString& text) {
    QAction* item = addAction(text);
    item->setCheckable(true);
    // A checkable action ticks itself before it reports the choice. This connection, made before
    // any of the owner's, puts the tick back, so the tick shows the mode and nothing else.
    connect(item, &QAction::triggered, this, [item](bool checked) { item->setChecked(!checked); });
    return item;
}

QAction* PopupMenu::addReopeningItem(const QString& text) {
    QAction* item = addAction(text);
    // Queued: the menu is reopened after the command has run and the menu has finished closing.
    connect(item, &QAction::triggered, this, &PopupMenu::reopen, Qt::QueuedConnection);
    return item;
}

void PopupMenu::setVersionText(const QString& version) {
    Version->setText(u"Software Version: "_s + version);
}

void PopupMenu::popupAt(QPoint screenPoint) {
    m_lastPopupPoint = screenPoint;
    m_openingAtPoint = true;
    popup(screenPoint);
    m_openingAtPoint = false;
}

void PopupMenu::showEvent(QShowEvent* event) {
    QMenu::showEvent(event);
    // Opened by someone else (the tray icon opens its menu itself): where it stands is where it
    // opens again.
    if (!m_openingAtPoint)
        m_lastPopupPoint = pos();
}
