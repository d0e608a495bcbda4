#include "PopupMenu.h"

#include <QAction>
#include <QCoreApplication>

using namespace Qt::Literals::StringLiterals;

using Kind = PopupMenu::ItemKind;

const std::array<PopupMenu::Item, 14> PopupMenu::Items{{
    {MenuCommand::FullScreen, "Full Screen", "FullScreen1", Kind::Mode, false},
    {MenuCommand::Transparent, "Transparent", "Transparent1", Kind::Mode, false},
    {MenuCommand::ChooseFontDisplaySetup, "Choose Font/Display setup", "ChooseFontDisplaysetup1", Kind::Command, true},
    {MenuCommand::ChooseBackgroundImage, "Choose Background Image", "ChooseBackgroundImage1", Kind::Command, false},
    {MenuCommand::ClearBackgroundImage, "Clear Background Image", "ClearBackgroundImage1", Kind::Command, false},
    {MenuCommand::IncreaseFontAdjust, "Increase Font Adjust", "IncreaseFontAdjust1", Kind::Reopening, true},
    {MenuCommand::DecreaseFontAdjust, "Decrease Font Adjust", "DecreaseFontAdjust1", Kind::Reopening, false},
    {MenuCommand::ReRegister, "Re-Register", "ReRegister1", Kind::Command, true},
    {MenuCommand::ResetPosition, "Reset Position", "ResetPosition1", Kind::Command, true},
    {MenuCommand::SaveSettingsToRegistry, "Save Settings to Registry", "SaveSettingstoRegistry1", Kind::Command, true},
    {MenuCommand::SaveSettingsToFile, "Save Settings to File", "SaveSettingstoFile1", Kind::Command, false},
    {MenuCommand::LoadSettingsFromFile, "Load Settings from file", "LoadSettingsfromfile1", Kind::Command, false},
    {MenuCommand::Version, "", "Version", Kind::Label, true},
    {MenuCommand::Exit, "Exit", "Exit1", Kind::Command, true},
}};

PopupMenu::PopupMenu(QWidget* parent) : QMenu(parent) {
    for (const Item& entry : Items) {
        if (entry.separatorAbove)
            addSeparator();
        QAction* action = addAction(QString::fromLatin1(entry.text));
        action->setObjectName(QLatin1StringView(entry.writtenName));
        m_items.at(std::size_t(entry.command)) = action;
        if (entry.kind == Kind::Mode) {
            action->setCheckable(true);
            // A checkable action ticks itself before it reports the choice. This connection, made
            // before any other, puts the tick back, so the tick shows the mode and nothing else.
            connect(action, &QAction::triggered, this, [action](bool checked) { action->setChecked(!checked); });
        }
        if (entry.kind != Kind::Label) {
            const MenuCommand command = entry.command;
            connect(action, &QAction::triggered, this, [this, command] { Q_EMIT commandChosen(command); });
        }
        if (entry.kind == Kind::Reopening) {
            // Queued: the menu is reopened after the command has run and the menu has finished closing.
            connect(action, &QAction::triggered, this, &PopupMenu::reopen, Qt::QueuedConnection);
        }
    }
    setVersionText(QCoreApplication::applicationVersion());
}

void PopupMenu::setTicked(MenuCommand command, bool ticked) {
    item(command)->setChecked(ticked);
}

void PopupMenu::setVersionText(const QString& version) {
    item(MenuCommand::Version)->setText(u"Software Version: "_s + version);
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
