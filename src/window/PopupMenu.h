#pragma once

#include <QMenu>
#include <QPoint>

class QAction;

// The operator's one pop-up menu: the right-click menu of the presentation window and the menu of
// its tray icon. The items are in the order the operator knows them; each command is the item's
// QAction::triggered, connected by whoever carries the command out. It remembers where it was last
// opened, so the font-adjust items can open it there again.
class PopupMenu : public QMenu {
    Q_OBJECT

public:
    explicit PopupMenu(QWidget* parent = nullptr);

    // The ticks of "Full Screen" and "Transparent" show the modes, and only the owner of the modes
    // sets them (setChecked after each command): choosing the item leaves its tick as it was.
    QAction* FullScreen1;
    QAction* Transparent1;
    QAction* ChooseFontDisplaysetup1;
    QAction* ChooseBackgroundImage1;
    QAction* ClearBackgroundImage1;
    QAction* IncreaseFontAdjust1; // the menu opens again where it was, once the command has run
    QAction* DecreaseFontAdjust1; // likewise
    QAction* ReRegister1;
    QAction* ResetPosition1;
    QAction* SaveSettingstoRegistry1;
    QAction* SaveSettingstoFile1;
    QAction* LoadSettingsfromfile1;
    // Shows the version and does nothing when chosen; it stays enabled so the text reads as
    // clearly as the others (a disabled item is greyed out).
    QAction* Version;
    QAction* Exit1;

    // The caption of the Version item: "Software Version: " and the version text. The application's
    // version until set.
    void setVersionText(const QString& version);

    // Opens the menu at a screen point and remembers the point. A menu opened otherwise (by the tray
    // icon) remembers where it showed.
    void popupAt(QPoint screenPoint);
    // Opens the menu again at the point where it was last opened.
    void reopen() { popupAt(m_lastPopupPoint); }
    QPoint lastPopupPoint() const { return m_lastPopupPoint; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QAction* addModeItem(const QString& text);
    QAction* addReopeningItem(const QString& text);

    QPoint m_lastPopupPoint;
    bool m_openingAtPoint = false;
};
