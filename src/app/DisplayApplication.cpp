#include "DisplayApplication.h"

#include "CommandLineSettings.h"
#include "SettingsCommands.h"
#include "StoredSettings.h"
#include "TerminationSignals.h"
#include "net/SignOn.h"
#include "window/DevicePixels.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>
#include <QNetworkInterface>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cstring>

using namespace Qt::Literals::StringLiterals;
namespace Names = StoredSettings;

namespace {

constexpr QSize InitialClientSize(956, 604);
constexpr int FatalMessageMilliseconds = 10000; // unattended starts end even if nobody reads it
constexpr int FontAdjustMenuStep = 5;           // "Increase/Decrease Font Adjust"; the keys step by 1
constexpr int MonitorChangeLogMilliseconds = 1000;

// A port as the display's settings hold it: decimal text, handed to the listener as it is.
bool listenOn(auto& listener, const QString& port, const QHostAddress& address) {
    bool ok = false;
    const uint number = port.toUInt(&ok);
    return ok && number <= 65535 && listener.listen(quint16(number), address);
}

bool isAddressOfThisComputer(const QHostAddress& address) {
    const QList<QHostAddress> own = QNetworkInterface::allAddresses();
    return std::any_of(own.begin(), own.end(), [&](const QHostAddress& candidate) {
        return candidate.isEqual(address, QHostAddress::TolerantConversion);
    });
}

// X11 keeps window coordinates and sizes in 16 bits: a stored geometry beyond them cannot be given
// to a window and is taken as a damaged store.
bool storedGeometryUsable(const StoredDisplayState& state) {
    const QPoint topLeft(state.formLeft, state.formTop);
    const QSize size(state.formWidth, state.formHeight);
    constexpr int Limit = 32767;
    const auto inRange = [](int value, int low, int high) { return value >= low && value <= high; };
    return inRange(topLeft.x(), -Limit, Limit) && inRange(topLeft.y(), -Limit, Limit) &&
           inRange(size.width(), 1, Limit) && inRange(size.height(), 1, Limit);
}

const QString BadSettingsMessage = u"Closing due to bad settings, settings cleared please re-run."_s;

} // namespace

DisplayApplication::DisplayApplication(CommandLine commandLine, std::unique_ptr<SettingsStore> store,
                                       DisplayQueries queries)
    : m_commandLine(std::move(commandLine)), m_store(std::move(store)), m_queries(queries) {}

DisplayApplication::~DisplayApplication() {
    // The animation clock stops before the engine it steps is released.
    if (m_window)
        m_window->stopAnimation();
    // Only a clean end comes here (a killed or crashed display never does): the next start is blank.
    if (m_shownCaptions)
        m_shownCaptions->forget();
}

QString DisplayApplication::GetAppVersionStr() {
    return QStringLiteral(VELTRINOX_VERSION);
}

bool DisplayApplication::start() {
    createWindow();
    connectListeners();
    connectEventLog();
    m_stored = ReadStoredDisplayState(*m_store);
    if (!openPorts())
        return false;
    if (!storedGeometryUsable(m_stored))
        clearBadSettings();
    m_liveState->restore(m_stored);
    m_window->startAnimation();
    connectMenu();
    createSetupDialog();
    applyStartSwitches();
    sendSignOn();
    showWindow();
    if (!m_failed) {
        logStartUp();
        startWebMonitor();
    }
    showModes();
    if (!m_failed)
        restoreShownCaption();
    return !m_failed;
}

void DisplayApplication::createWindow() {
    m_window = std::make_unique<PresentationWindow>(m_presentationInputs, m_queries.pictureFiles);
    m_controlAnswers.attachWindow(*m_window);
    m_geometry = std::make_unique<WindowGeometry>(*m_window, m_settings);
    m_liveState = std::make_unique<LiveDisplayState>(*m_window, *m_geometry, m_settings);
    m_settingsCommands = std::make_unique<SettingsCommands>(*m_store, *m_liveState, m_queries.settingsFiles);
    connect(m_settingsCommands.get(), &SettingsCommands::warning, this, &DisplayApplication::showWarning);
    connect(m_settingsCommands.get(), &SettingsCommands::loaded, this, [this] {
        m_dialog->apply();
        showModes();
    });
    connect(m_window.get(), &PresentationWindow::sizeChanged, this, [this] {
        // Once the setup dialog exists, its size fields and the size the geometry rules apply
        // follow the window.
        if (!m_dialog)
            return;
        const QSize size = m_window->deviceSize();
        m_settings.setSignWidth(size.width());
        m_settings.setSignHeight(size.height());
        m_geometry->setDisplaySize(size);
        m_dialog->refreshFields();
    });
    m_window->installEventFilter(this);
    m_window->applySize(InitialClientSize);
    if (m_commandLine.FindCmdLineSwitch(u"BaseFontHeight"))
        m_window->setFixedBaseFontHeight(m_commandLine.ReturnParamInt(u"BaseFontHeight"));
    if (!m_instanceName.isEmpty())
        m_window->setInstanceName(m_instanceName);
    m_window->popupMenu().setVersionText(GetAppVersionStr());
}

bool DisplayApplication::openPorts() {
    if (!m_listen.listensOnEveryAddress() && !isAddressOfThisComputer(m_listen.listenAddress)) {
        reportFatal(u"The listen address %1 is not an address of this computer: the display cannot start."_s.arg(
            m_listen.listenAddress.toString()));
        return false;
    }
    m_feed.setAllowedPeers(m_listen.allowedPeers);
    m_control.setAllowedPeers(m_listen.allowedPeers);

    // The stored ports, unless the command line names others.
    m_feedPort = m_stored.feedPort;
    m_controlPort = m_stored.controlPort;
    if (m_commandLine.FindCmdLineSwitch(u"port"))
        m_feedPort = m_commandLine.ReturnParamStr(u"port");
    if (!listenOn(m_feed, m_feedPort, m_listen.listenAddress)) {
        reportFatal(u"Another instance has the network port open, terminating this instance."_s);
        return false;
    }
    if (m_commandLine.FindCmdLineSwitch(u"capport"))
        m_controlPort = m_commandLine.ReturnParamStr(u"capport");
    if (!listenOn(m_control, m_controlPort, m_listen.listenAddress))
        reportFatal(u"Unable to open network port ("_s + m_controlPort + u") - application closing."_s);
    return true;
}

void DisplayApplication::restoreShownCaption() {
    const QString folder = ShownCaptionStore::defaultFolder();
    m_shownCaptions = std::make_unique<ShownCaptionStore>(
        m_instanceName.isEmpty() ? ShownCaptionStore::filePath(folder, quint16(m_feedPort.toUInt()))
                                 : ShownCaptionStore::filePath(folder, m_instanceName));
    if (const std::optional<ShownCaption> shown = m_shownCaptions->load()) {
        m_window->presenter().restoreShown(*shown);
        logEvent(LogCategory::Start, u"the caption on screen when the display last ended uncleanly is shown again"_s);
    }
    m_window->presenter().setShownCaptionObserver(m_shownCaptions.get());
}

void DisplayApplication::connectMenu() {
    m_menuCommands =
        std::make_unique<MenuCommands>(m_window->popupMenu(), *m_window, *m_geometry, m_settings, *m_settingsCommands);
    connect(m_menuCommands.get(), &MenuCommands::setupDialogRequested, this, &DisplayApplication::showSetupDialog);
    connect(m_menuCommands.get(), &MenuCommands::signOnRequested, this, &DisplayApplication::sendSignOn);
    connect(m_menuCommands.get(), &MenuCommands::exitRequested, this, [this] {
        m_closeReason = u"\"Exit\" from the menu"_s;
        m_window->close();
    });
    connect(m_menuCommands.get(), &MenuCommands::modesShown, this, [this] {
        if (m_dialog)
            m_dialog->refreshFields();
    });
    showModes();
}

void DisplayApplication::showModes() {
    m_menuCommands->showModes();
}

void DisplayApplication::showSetupDialog() {
    // The dialog comes to the front and stays there; the display gives up staying on top until its
    // next effect step.
    m_window->stopStayingOnTop();
    m_dialog->showNonModal();
}

void DisplayApplication::connectListeners() {
    const auto present = [this](const QString& document) {
        if (m_window->presenter().enqueue(document) == CaptionQueue::Overflow::Started)
            logEvent(LogCategory::Warning,
                     u"the caption queue is full (%1 documents or %2 MiB waiting): the oldest "
                     u"waiting captions give way to new ones until it empties"_s.arg(CaptionQueue::MaxDocuments)
                         .arg(CaptionQueue::MaxBytes >> 20));
        m_window->presenter().ShowSurtitle();
    };
    connect(&m_feed, &FeedListener::documentReceived, this, present);
    connect(&m_control, &ControlListener::documentReceived, this, present);
    connect(&m_feed, &FeedListener::connectionsChanged, this, [this] { m_window->presenter().clearQueue(); });
    connect(&m_control, &ControlListener::failureReported, this, &DisplayApplication::showWarning);
}

void DisplayApplication::clearBadSettings() {
    for (const QLatin1StringView name :
         {Names::FormTop, Names::FormLeft, Names::FormHeight, Names::FormWidth, Names::FontColour, Names::FullScreen,
          Names::Transparent, Names::BackgroundImage})
        m_store->remove(name);
    m_store->sync();
    m_stored = ReadStoredDisplayState(*m_store); // the rest of the start takes the defaults
    if (!storedGeometryUsable(m_stored)) {
        // A store that cannot be written still gives the window a geometry it can take.
        m_stored.formTop = StoreDefaults.formTop;
        m_stored.formLeft = StoreDefaults.formLeft;
        m_stored.formHeight = StoreDefaults.formHeight;
        m_stored.formWidth = StoreDefaults.formWidth;
    }
    reportFatal(BadSettingsMessage);
}

void DisplayApplication::createSetupDialog() {
    m_displaySetup = std::make_unique<DisplaySetup>(*m_window, *m_geometry, m_settings, m_commandLine);
    m_dialog = std::make_unique<FontSetupDialog>(m_settings, *m_displaySetup, m_queries.colours);
    connect(m_dialog.get(), &FontSetupDialog::applied, this, [this] { m_displaySetup->apply(); });
    connect(m_dialog.get(), &FontSetupDialog::sizeFromLinesRequested, this,
            [this](int height) { m_displaySetup->setSizeFromLines(height); });
}

void DisplayApplication::applyStartSwitches() {
    CommandLineFlags flags;
    ReadParamString(m_commandLine, *m_window, m_settings, flags);
    m_geometry->keepPositionFromCommandLine(flags.positionFromCommandLine);
    applyFontSwitches(m_commandLine, m_settings);
    // A size from the command line wins over a stored font override.
    if (flags.sizeFromCommandLine)
        m_settings.setFontOverride(false);
    if (m_settings.FontOverride())
        m_dialog->apply();
    // The dialog's size fields show the stored size; the geometry rules apply the size the window
    // now has, the switches' included.
    m_settings.setSignWidth(m_stored.formWidth);
    m_settings.setSignHeight(m_stored.formHeight);
    m_geometry->setDisplaySize(m_window->deviceSize());
    m_dialog->refreshFields();
}

void DisplayApplication::showWindow() {
    // The window first shows where the border timer would put it: on the chosen monitor with "Fix
    // Top left", and a window stored on a monitor that is no longer there on one that is.
    m_geometry->applyPlacement();
    if (!m_geometry->fullScreen())
        m_window->show();
}

void DisplayApplication::sendSignOn() {
    const QRect frame = m_window->deviceFrameGeometry();
    // Bound to one address, the display announces itself only where it can be reached.
    QList<SignOnAdapter> adapters = m_queries.adapters.signOnAdapters();
    if (!m_listen.listensOnEveryAddress())
        adapters = AdaptersHolding(adapters, m_listen.listenAddress);
    const int sent =
        SendSignOn(adapters, {m_feedPort, GetAppVersionStr(), frame.width(), frame.height(), MachinePcId()});
    logEvent(LogCategory::SignOn, u"sent to port %2, datagrams: %1 (feed port %3, window %4 x %5)"_s.arg(sent)
                                      .arg(SignOnPort)
                                      .arg(m_feedPort)
                                      .arg(frame.width())
                                      .arg(frame.height()));
}

void DisplayApplication::startWebMonitor() {
    // The command line wins over the store; 0, or neither, opens no port.
    const QString port = m_commandLine.FindCmdLineSwitch(u"webport")
                             ? m_commandLine.ReturnParamStr(u"webport")
                             : QString::number(m_store->readInteger(Names::WebPort, 0));
    bool ok = false;
    const uint number = port.toUInt(&ok);
    if (ok && number == 0)
        return;
    if (!ok || number > 65535) {
        logEvent(LogCategory::Warning, u"the web port \"%1\" is no port number: the web monitor is off"_s.arg(port));
        return;
    }
    m_monitor = std::make_unique<DisplayMonitor>(DisplayMonitor::Parts{
        *m_window, *m_geometry, m_controlAnswers, m_events ? &m_events->log() : nullptr, m_control});
    m_monitor->watch(m_feed, m_control);
    m_monitor->allowControl(m_commandLine.FindCmdLineSwitch(u"webtoken")
                                ? m_commandLine.ReturnParamStr(u"webtoken")
                                : m_store->readText(Names::WebToken, QString()));
    connect(&m_monitor->monitor(), &WebMonitor::logLine, this,
            [this](const QString& line) { logEvent(LogCategory::Web, line); });
    // The same addresses and peers as the feed and control ports.
    m_monitor->monitor().setAllowedPeers(m_listen.allowedPeers);
    if (m_events)
        connect(&m_monitor->monitor(), &WebMonitor::peerRefused, m_events.get(), &DisplayEvents::peerRefused);
    if (!m_monitor->listen(m_listen.listenAddress, quint16(number))) {
        logEvent(LogCategory::Warning, u"the web monitor cannot listen on port %1 (%2): it is off"_s.arg(number).arg(
                                           m_monitor->errorString()));
        m_monitor.reset();
        return;
    }
    logEvent(LogCategory::Web,
             u"web monitor listening on port %1 of %3: http://<address>:%1/ (control %2)"_s.arg(m_monitor->port())
                 .arg(m_monitor->monitor().controlAllowed() ? u"with the web token"_s : u"off: no web token"_s,
                      m_listen.listenDescription()));
}

bool DisplayApplication::saveToStore() {
    return m_settingsCommands->saveToStore();
}

void DisplayApplication::showWarning(const QString& message) {
    // Not modal: the display goes on showing captions while the message waits for the operator.
    auto* box = new QMessageBox(QMessageBox::Warning, QApplication::applicationName(), message);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
    lastWarning = message;
}

void DisplayApplication::reportFatal(const QString& message) {
    m_failed = true;
    logEvent(LogCategory::Stop, message);
    if (QGuiApplication::platformName() == u"offscreen") {
        // Headless, nobody can read a message box: standard error is where the message goes.
        QTimer::singleShot(0, qApp, [] { QApplication::exit(FatalExitStatus); });
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Critical, QApplication::applicationName(), message);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, qApp, [] { QApplication::exit(FatalExitStatus); });
    QTimer::singleShot(FatalMessageMilliseconds, box, &QMessageBox::close);
    box->show();
}

bool DisplayApplication::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_window.get() || event->type() != QEvent::Close)
        return QObject::eventFilter(watched, event);
    if (m_failed || m_quittingWithoutQuestion || askToClose()) {
        if (!m_failed && !m_quittingWithoutQuestion)
            logEvent(LogCategory::Stop,
                     (m_closeReason.isEmpty() ? u"the window was closed"_s : m_closeReason) + u": the display ends"_s);
        m_window->stopAnimation();
        QTimer::singleShot(0, qApp, [this] { QApplication::exit(m_failed ? FatalExitStatus : 0); });
        return false;
    }
    m_closeReason.clear();
    event->ignore();
    return true;
}

bool DisplayApplication::askToClose() {
    QMessageBox question(QMessageBox::Question, QApplication::applicationName(),
                         u"Exiting program, save the settings?"_s,
                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect monitor = screen->geometry();
        question.move(monitor.left() + monitor.width() * 2 / 3, monitor.top() + monitor.height() * 2 / 3);
    }
    switch (question.exec()) {
    case QMessageBox::Yes:
        return saveToStore(); // settings that could not be saved keep the display running
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void DisplayApplication::quitOnTerminationSignals() {
    connect(new TerminationSignals(this), &TerminationSignals::received, this, [this](int signalNumber) {
        logEvent(LogCategory::Stop, u"SIG%1 received: the display ends without the save question"_s.arg(
                                        QLatin1StringView(sigabbrev_np(signalNumber))));
        m_quittingWithoutQuestion = true;
        if (m_window)
            m_window->close();
        QApplication::exit(m_failed ? FatalExitStatus : 0);
    });
}

void DisplayApplication::setEventLog(EventLog& log) {
    m_events = std::make_unique<DisplayEvents>(log);
}

void DisplayApplication::logEvent(LogCategory category, const QString& text) {
    if (m_events)
        m_events->write(category, text);
}

void DisplayApplication::connectEventLog() {
    if (!m_events)
        return;
    m_events->watch(m_feed, m_control);
    m_window->presenter().setEvents(m_events.get());
    connect(m_settingsCommands.get(), &SettingsCommands::saved, m_events.get(),
            [this](const QString& where) { logEvent(LogCategory::Settings, u"saved to \"%1\""_s.arg(where)); });
    connect(m_settingsCommands.get(), &SettingsCommands::loaded, m_events.get(), [this](const QString& fileName) {
        logEvent(LogCategory::Settings, u"loaded from \"%1\""_s.arg(fileName));
    });
    connect(m_settingsCommands.get(), &SettingsCommands::warning, m_events.get(),
            [this](const QString& message) { logEvent(LogCategory::Warning, message); });
    logEvent(LogCategory::Start,
             u"veltrinox-lcd %1 starting; settings store \"%2\""_s.arg(GetAppVersionStr(), m_store->fileName()));
    if (!m_platformNote.isEmpty())
        logEvent(LogCategory::Start, m_platformNote);
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = deviceGeometry(*screen);
        logEvent(LogCategory::Start, u"monitor \"%1\" %2 x %3 at (%4, %5)%6"_s.arg(screen->name())
                                         .arg(area.width())
                                         .arg(area.height())
                                         .arg(area.x())
                                         .arg(area.y())
                                         .arg(screen == QGuiApplication::primaryScreen() ? u", primary"_s : QString()));
    }
}

QString DisplayApplication::windowPlacementText() const {
    const QRect frame = m_window->deviceFrameGeometry();
    return u"window %1 x %2 at (%3, %4) on monitor \"%5\""_s.arg(frame.width())
        .arg(frame.height())
        .arg(frame.x())
        .arg(frame.y())
        .arg(m_geometry->monitorName());
}

void DisplayApplication::logStartUp() {
    const QString network = u"feed port %1, control port %2 on "_s.arg(m_feed.port()).arg(m_control.port()) +
                            m_listen.listenDescription() + u", allowed controllers: "_s +
                            m_listen.allowedPeers.description();
    const QString instance =
        m_instanceName.isEmpty() ? u"no instance name"_s : u"instance \""_s + m_instanceName + u'"';
    const QString modes = (m_geometry->fullScreen() ? u", full screen"_s : QString()) +
                          (m_window->transparentMode() ? u", transparent"_s : QString());
    logEvent(LogCategory::Start,
             u"running: "_s + network + u", "_s + instance + u"; "_s + windowPlacementText() + modes);
    // Monitors that come and go (a projector switched on after the PC) move the window: the log says
    // where it went once the window manager has placed it.
    const auto monitorsChanged = [this](QScreen* screen, const QString& change) {
        const QString name = screen->name();
        QTimer::singleShot(MonitorChangeLogMilliseconds, this, [this, name, change] {
            logEvent(LogCategory::Start, u"monitor \""_s + name + u"\" "_s + change + u": "_s + windowPlacementText());
        });
    };
    connect(qGuiApp, &QGuiApplication::screenAdded, this,
            [monitorsChanged](QScreen* screen) { monitorsChanged(screen, u"connected"_s); });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this,
            [monitorsChanged](QScreen* screen) { monitorsChanged(screen, u"disconnected"_s); });
}
