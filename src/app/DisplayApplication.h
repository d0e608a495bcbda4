#pragma once

#include "CommandLine.h"
#include "CommandLineSettings.h"
#include "ControlAnswers.h"
#include "DisplayEvents.h"
#include "DisplayMonitor.h"
#include "DisplayQueries.h"
#include "DisplaySettings.h"
#include "DisplaySetup.h"
#include "FontSetupDialog.h"
#include "LiveDisplayState.h"
#include "LivePresentationInputs.h"
#include "MenuCommands.h"
#include "SettingsCommands.h"
#include "SettingsFile.h"
#include "SettingsStore.h"
#include "ShownCaptionStore.h"
#include "StartOptions.h"
#include "net/ControlListener.h"
#include "net/FeedListener.h"
#include "net/SignOn.h"
#include "window/PresentationWindow.h"
#include "window/WindowGeometry.h"

#include <QObject>
#include <QString>
#include <memory>

// The running display: the presentation window, the caption feed and control listeners, the
// display settings and their store, put together and started in the display's order. Start-up
// failures are shown to the operator and written to standard error; the process then exits with
// a non-zero status.
class DisplayApplication : public QObject {
    Q_OBJECT

public:
    static constexpr int FatalExitStatus = 1;

    DisplayApplication(CommandLine commandLine, std::unique_ptr<SettingsStore> store, DisplayQueries queries = {});
    ~DisplayApplication() override;

    // Creates and shows everything; returns false when start-up failed (the event loop should then
    // run only until the failure has been shown, and the exit status is FatalExitStatus).
    bool start();

    // Writes every stored setting from the live values; a store that cannot be written is reported
    // to the operator ("Unable to write to ...") and false returned.
    bool saveToStore();

    // "Save Settings to Registry", "Save Settings to File" and "Load Settings from file".
    SettingsCommands& settingsCommands() { return *m_settingsCommands; }

    // The last warning shown to the operator.
    QString lastWarning;

    QString feedPort() const { return m_feedPort; }
    QString controlPort() const { return m_controlPort; }
    // The port the feed listens on (the one the system chose for port "0").
    quint16 listeningFeedPort() const { return m_feed.port(); }
    // The web monitor's port; 0 when it is off.
    quint16 webPort() const { return m_monitor ? m_monitor->port() : 0; }
    FontSetupDialog& setupDialog() { return *m_dialog; }
    PresentationWindow& window() { return *m_window; }
    WindowGeometry& geometry() { return *m_geometry; }
    DisplaySettings& displaySettings() { return m_settings; }

    // "Choose Font/Display setup".
    void showSetupDialog();

    // SIGINT and SIGTERM end the display at once, without the save question.
    void quitOnTerminationSignals();

    // From start() on, the display's events go to the log, which outlives the display.
    void setEventLog(EventLog& log);
    // What the start-up log says of the window system the display was started on.
    void setPlatformNote(const QString& note) { m_platformNote = note; }
    // Before start(): the display's name among several on this computer (its title and kept caption
    // follow it; the store handed in is already its own), and where its ports listen and whom they
    // serve.
    void setInstanceName(const QString& name) { m_instanceName = name; }
    void setListenOptions(const ListenOptions& options) { m_listen = options; }

    static QString GetAppVersionStr();

private:
    // The steps of start(), in order.
    void createWindow();
    // A stored geometry no window can take: the window's stored values are deleted, so the next start
    // takes the defaults, this one goes on with them, and the display closes.
    void clearBadSettings();
    void createSetupDialog();
    // The size, position and font switches (ReadParamString, then "monitor", "fontsize" and
    // "fontname"), and a font override that is still on.
    void applyStartSwitches();
    void showWindow();
    void sendSignOn();
    // Listens on the feed and control ports; false when the display cannot go on.
    bool openPorts();
    // The web monitor, when "/webport" or the stored "Web Port" names a port.
    void startWebMonitor();
    // The caption on screen when the last run ended uncleanly comes back, and from now on each
    // caption shown is kept until the display ends cleanly.
    void restoreShownCaption();
    void reportFatal(const QString& message);
    void showWarning(const QString& message);
    void connectListeners();
    void connectMenu();
    void connectEventLog();
    void logEvent(LogCategory category, const QString& text);
    // Where the window stands, as the log says it: window 800 x 200 at (100, 100) on monitor "HDMI-1".
    QString windowPlacementText() const;
    void logStartUp();
    // The menu's ticks and the dialog's fields show the modes and settings as they now are.
    void showModes();
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool askToClose();

    CommandLine m_commandLine;
    std::unique_ptr<SettingsStore> m_store;
    DisplayQueries m_queries;
    std::unique_ptr<DisplayEvents> m_events; // outlives the presenter and listeners that tell it
    StoredDisplayState m_stored;             // the store as the display started, read once
    DisplaySettings m_settings;
    FeedListener m_feed;
    ControlAnswers m_controlAnswers{m_settings};
    ControlListener m_control{m_controlAnswers};
    LivePresentationInputs m_presentationInputs{m_settings, m_control};
    std::unique_ptr<ShownCaptionStore> m_shownCaptions; // outlives the presenter that tells it
    std::unique_ptr<PresentationWindow> m_window;
    std::unique_ptr<WindowGeometry> m_geometry;
    std::unique_ptr<LiveDisplayState> m_liveState;
    std::unique_ptr<SettingsCommands> m_settingsCommands;
    std::unique_ptr<MenuCommands> m_menuCommands;
    std::unique_ptr<DisplaySetup> m_displaySetup;
    std::unique_ptr<FontSetupDialog> m_dialog;
    std::unique_ptr<DisplayMonitor> m_monitor;
    QString m_feedPort = StoreDefaults.feedPort;
    QString m_controlPort = StoreDefaults.controlPort;
    QString m_instanceName;
    ListenOptions m_listen;
    bool m_failed = false;
    bool m_quittingWithoutQuestion = false;
    QString m_closeReason; // what asked the window to close, for the log
    QString m_platformNote;
};
