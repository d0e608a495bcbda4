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
constexpr ColourValue DefaultFontColour = 65535;
constexpr int FontAdjustMenuStep = 5; // "Increase/Decrease Font Adjust"; the keys step by 1
constexpr int MonitorChangeLogMilliseconds = 1000;

// A port as the display's settings hold it: decimal text, handed to the listener as it is.
bool listenOn(auto& listener, const QString& port, const QHostAddress& address) {
    bool ok = false;
    const uint number = port.toUInt(&ok);
    return ok && number <= 65535 && listener.listen(quint16(number), address);
}

bool isWildcard(const QHostAddress& address) {
    return address == QHostAddress(QHostAddress::AnyIPv4) || address == QHostAddress(QHostAddress::AnyIPv6) ||
           address == QHostAddress(QHostAddress::Any);
}

bool isAddressOfThisComputer(const QHostAddress& address) {
    const QList<QHostAddress> own = QNetworkInterface::allAddresses();
    return isWildcard(address) || std::any_of(own.begin(), own.end(), [&](const QHostAddress& candidate) {
               return candidate.isEqual(address, QHostAddress::TolerantConversion);
           });
}

// X11 keeps window coordinates and sizes in 16 bits: a stored geometry beyond them cannot be given
// to a window and is taken as a damaged store.
bool storedGeometryUsable(QPoint topLeft, QSize size) {
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
    m_window = std::make_unique<PresentationWindow>(m_presentationInputs, m_queries.pictureFiles);
    m_geometry = std::make_unique<WindowGeometry>(*m_window, m_settings);
    m_settingsCommands =
        std::make_unique<SettingsCommands>(*m_store, *m_window, *m_geometry, m_settings, m_queries.settingsFiles);
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
    connectListeners();
    connectEventLog();

    m_stored = ReadStoredDisplayState(*m_store);
    m_settingsCommands->setStoredNetwork(StoredNetwork::of(m_stored));
    if (!openPorts())
        return false;

    restoreWindowState();
    m_window->startAnimation();
    m_geometry->restoreFullScreenTick(m_stored.fullScreen);
    if (m_stored.transparent)
        m_geometry->toggleTransparent();
    m_window->loadBackgroundImage(m_stored.backgroundImage); // one gone or damaged is left out
    m_window->popupMenu().setVersionText(GetAppVersionStr());
    connectMenu();
    createDisplaySettings();
    showWindow();
    if (!m_failed)
        logStartUp();
    if (!m_failed)
        startWebMonitor();
    showModes();
    if (!m_failed)
        restoreShownCaption();
    return !m_failed;
}

bool DisplayApplication::openPorts() {
    if (!isAddressOfThisComputer(m_listen.listenAddress)) {
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
    PopupMenu& menu = m_window->popupMenu();
    const auto command = [this](QAction* item, auto run) {
        connect(item, &QAction::triggered, this, [this, run] {
            run();
            showModes();
        });
    };
    command(menu.FullScreen1, [this] { m_geometry->toggleFullScreen(); });
    command(menu.Transparent1, [this] { m_geometry->toggleTransparent(); });
    command(menu.ChooseFontDisplaysetup1, [this] { showSetupDialog(); });
    command(menu.IncreaseFontAdjust1, [this] { adjustFont(FontAdjustMenuStep); });
    command(menu.DecreaseFontAdjust1, [this] { adjustFont(-FontAdjustMenuStep); });
    command(menu.ReRegister1, [this] { sendSignOn(); });
    command(menu.ResetPosition1, [this] { m_geometry->resetPosition(); });
    command(menu.SaveSettingstoRegistry1, [this] { saveToStore(); });
    command(menu.SaveSettingstoFile1, [this] { m_settingsCommands->saveToChosenFile(); });
    command(menu.LoadSettingsfromfile1, [this] { m_settingsCommands->loadFromChosenFile(); });
    command(menu.Exit1, [this] {
        m_closeReason = u"\"Exit\" from the menu"_s;
        m_window->close();
    });
    connect(m_window.get(), &PresentationWindow::fontAdjustRequested, this, &DisplayApplication::adjustFont);
    showModes();
}

void DisplayApplication::adjustFont(int delta) {
    m_settings.setFontAdjustSpin(m_settings.FontAdjustSpin() + delta);
    showModes();
}

void DisplayApplication::showModes() {
    PopupMenu& menu = m_window->popupMenu();
    menu.FullScreen1->setChecked(m_geometry->fullScreen());
    menu.Transparent1->setChecked(m_window->transparentMode());
    if (m_dialog)
        m_dialog->refreshFields();
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

DisplayStatus DisplayApplication::status() const {
    const Presenter& presenter = m_window->presenter();
    const QSize size = presenter.displaySize();
    const CanvasFont& font = presenter.displayFont();
    return {size.width(),
            size.height(),
            font.name,
            font.colour,
            presenter.clearColour(),
            font.pointSize,
            m_settings.NumberOfLines()};
}

StagetextSettings DisplayApplication::stagetextSettings() const {
    return {m_settings.FontOverride(), m_settings.FontSelector(), m_settings.FontAdjustSpin(),
            m_window->BaseFontHeight(), m_settings.FontColourSetting()};
}

void DisplayApplication::restoreWindowState() {
    const QPoint topLeft(m_stored.formLeft, m_stored.formTop);
    const QSize size(m_stored.formWidth, m_stored.formHeight);
    if (!storedGeometryUsable(topLeft, size)) {
        clearBadSettings({Names::FormTop, Names::FormLeft, Names::FormHeight, Names::FormWidth, Names::FontColour,
                          Names::FullScreen, Names::Transparent, Names::BackgroundImage});
        return;
    }
    m_window->applyGeometry(QRect(topLeft, size));
    m_settings.setFontColourSetting(m_stored.fontColour);
}

void DisplayApplication::clearBadSettings(std::initializer_list<QLatin1StringView> names) {
    for (const QLatin1StringView name : names)
        m_store->DeleteSetting(name);
    m_store->sync();
    m_stored = ReadStoredDisplayState(*m_store); // the rest of the start takes the defaults
    reportFatal(BadSettingsMessage);
}

void DisplayApplication::createDisplaySettings() {
    m_displaySetup = std::make_unique<DisplaySetup>(*m_window, *m_geometry, m_settings, m_commandLine);
    m_dialog = std::make_unique<FontSetupDialog>(m_settings, *m_displaySetup, m_queries.colours);
    connect(m_dialog.get(), &FontSetupDialog::applied, this, [this] { m_displaySetup->apply(); });
    connect(m_dialog.get(), &FontSetupDialog::sizeFromLinesRequested, this,
            [this](int height) { m_displaySetup->setSizeFromLines(height); });
    m_settings.setSignWidth(m_stored.formWidth);
    m_settings.setSignHeight(m_stored.formHeight);
    m_settings.setFontOverride(m_stored.fontOverride);
    m_settings.setMonitorNumber(m_stored.monitor);
    m_settings.setMonitorName(m_stored.monitorName);
    m_settings.setNumberOfLines(m_stored.displayLines);
    m_settings.setFontHeight(m_stored.fontHeight);
    m_settings.setFontSelector(m_stored.fontName);
    m_settings.setFixTopLeft(m_stored.fixTopLeft);
    m_settings.setCaptionColour(StringToColour(m_settings.FontColourSetting(), DefaultFontColour));
    m_settings.setAntiAliased(m_stored.antiAliased);

    applySizeAndPositionSwitches();
    applyFontSwitches(m_commandLine, m_settings);
    applySizeAndPositionSwitches();
    if (m_commandLineFlags.sizeFromCommandLine)
        m_settings.setFontOverride(false);
    if (m_settings.FontOverride())
        m_dialog->apply();
    m_dialog->refreshFields();
    sendSignOn();
}

void DisplayApplication::applySizeAndPositionSwitches() {
    ::ReadParamString(m_commandLine, *m_window, m_settings, m_commandLineFlags);
    m_geometry->keepPositionFromCommandLine(m_commandLineFlags.positionFromCommandLine);
}

void DisplayApplication::showWindow() {
    if (!restoreShownState())
        clearBadSettings({Names::FormTop, Names::FormLeft, Names::FormHeight, Names::FormWidth, Names::FullScreen,
                          Names::Transparent, Names::FontAdjust, Names::WordWrap, Names::AntiAliased});
    m_dialog->refreshFields();
    // Full screen read again here wins over transparency read before.
    if (m_geometry->fullScreen() && m_window->transparentMode())
        m_geometry->toggleTransparent();
    // The window first shows where the border timer would put it: on the chosen monitor with "Fix
    // Top left", and a window stored on a monitor that is no longer there on one that is.
    m_geometry->applyPlacement();
    if (!m_geometry->fullScreen())
        m_window->show();
}

bool DisplayApplication::restoreShownState() {
    const QPoint topLeft(m_stored.formLeft, m_stored.formTop);
    const QSize size(m_stored.formWidth, m_stored.formHeight);
    if (!storedGeometryUsable(topLeft, size))
        return false;
    m_window->applyGeometry(QRect(topLeft, m_window->deviceSize()));
    m_geometry->setDisplaySize(size);
    m_geometry->restoreFullScreenTick(m_stored.fullScreen);
    m_settings.setFontAdjustSpin(m_stored.fontAdjust);
    m_settings.setEnableWordWrap(m_stored.wordWrap);
    m_settings.setAntiAliased(m_stored.antiAliased);
    applySizeAndPositionSwitches();
    m_settings.setSignWidth(m_geometry->displaySize().width());
    m_settings.setSignHeight(m_geometry->displaySize().height());
    m_geometry->setDisplaySize(m_window->deviceSize());
    return true;
}

void DisplayApplication::sendSignOn() {
    const QRect frame = m_window->deviceFrameGeometry();
    // Bound to one address, the display announces itself only where it can be reached.
    QList<SignOnAdapter> adapters = m_queries.adapters.signOnAdapters();
    if (!isWildcard(m_listen.listenAddress))
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
                             : QString::number(m_store->ReadSettingInteger(Names::WebPort, 0));
    bool ok = false;
    const uint number = port.toUInt(&ok);
    if (ok && number == 0)
        return;
    if (!ok || number > 65535) {
        logEvent(LogCategory::Warning, u"the web port \"%1\" is no port number: the web monitor is off"_s.arg(port));
        return;
    }
    m_monitor = std::make_unique<DisplayMonitor>(
        DisplayMonitor::Parts{*m_window, *m_geometry, *this, m_events ? &m_events->log() : nullptr, m_control});
    m_monitor->watch(m_feed, m_control);
    m_monitor->allowControl(m_commandLine.FindCmdLineSwitch(u"webtoken")
                                ? m_commandLine.ReturnParamStr(u"webtoken")
                                : m_store->ReadSettingText(Names::WebToken, QString()));
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
