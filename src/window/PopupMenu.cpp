#include "PopupMenu.h"

#include <QAction>
#include <QCoreApplication>

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
