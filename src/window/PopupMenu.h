#pragma once

#include <QMenu>
#include <QPoint>
#include <array>

class QAction;

// The commands of the pop-up menu, in the order the operator knows them.
enum class MenuCommand {
    FullScreen,
    Transparent,
    ChooseFontDisplaySetup,
    ChooseBackgroundImage,
    ClearBackgroundImage,
    IncreaseFontAdjust,
    DecreaseFontAdjust,
    ReRegister,
    ResetPosition,
    SaveSettingsToRegistry,
    SaveSettingsToFile,
    LoadSettingsFromFile,
    Version,
    Exit,
};

// The operator's one pop-up menu: the right-click menu of the presentation window and the menu of
// its tray icon. Choosing an item sends commandChosen with its command, carried out by whoever owns
// it. It remembers where it was last opened, so the font-adjust items can open it there again.
class PopupMenu : public QMenu {
    Q_OBJECT

public:
    // How an item behaves when chosen.
    enum class ItemKind {
        Command,
        // Ticked to show a mode. Only the owner of the mode sets the tick (setTicked after each
        // command): choosing the item leaves its tick as it was.
        Mode,
        // The menu opens again where it was, once the command has run.
        Reopening,
        // Shows a text and does nothing when chosen; it stays enabled so the text reads as clearly as
        // the others (a disabled item is greyed out).
        Label,
    };

    // One item: its command, its text, its written name (the item's object name, the one the rules
    // call its command by), its kind, and whether a separator stands above it.
    struct Item {
        MenuCommand command;
        const char* text;
        const char* writtenName;
        ItemKind kind;
        bool separatorAbove;
    };
    static const std::array<Item, 14> Items;

    explicit PopupMenu(QWidget* parent = nullptr);

    QAction* item(MenuCommand command) const { return m_items.at(std::size_t(command)); }
    // The tick of a mode item.
    void setTicked(MenuCommand command, bool ticked);

    // The text of the Version item: "Software Version: " and the version text. The application's
    // version until set.
    void setVersionText(const QString& version);

    // Opens the menu at a screen point and remembers the point. A menu opened otherwise (by the tray
    // icon) remembers where it showed.
    void popupAt(QPoint screenPoint);
    // Opens the menu again at the point where it was last opened.
    void reopen() { popupAt(m_lastPopupPoint); }
    QPoint lastPopupPoint() const { return m_lastPopupPoint; }

Q_SIGNALS:
    void commandChosen(MenuCommand command);

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::array<QAction*, Items.size()> m_items{};
    QPoint m_lastPopupPoint;
    bool m_openingAtPoint = false;
};
