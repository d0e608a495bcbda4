#include "FontSetupDialog.h"

#include "ColourPanel.h"
#include "SetupDialogHost.h"
#include "presentation/DisplayColour.h"
#include "window/DevicePixels.h"

#include <QCheckBox>
#include <QEvent>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int FontNameCharacters = 20; // the font picker's width, whatever the longest family name

ColourValue colourValueOf(const QColor& colour) {
    return ColourValue(colour.blue()) << 16 | ColourValue(colour.green()) << 8 | ColourValue(colour.red());
}

// A field writes every change straight into the settings: that is what makes it live.
QSpinBox* settingSpinBox(const QString& name, int minimum, int maximum, DisplaySettings& settings,
                         void (DisplaySettings::*set)(int)) {
    auto* spinBox = new QSpinBox;
    spinBox->setObjectName(name);
    spinBox->setRange(minimum, maximum);
    QObject::connect(spinBox, &QSpinBox::valueChanged, spinBox,
                     [&settings, set](int value) { (settings.*set)(value); });
    return spinBox;
}

QCheckBox* settingCheckBox(const QString& caption, const QString& name, DisplaySettings& settings,
                           void (DisplaySettings::*set)(bool)) {
    auto* checkBox = new QCheckBox(caption);
    checkBox->setObjectName(name);
    QObject::connect(checkBox, &QCheckBox::toggled, checkBox, [&settings, set](bool on) { (settings.*set)(on); });
    return checkBox;
}

QPushButton* dialogButton(const QString& caption, const QString& name) {
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    return button;
}

} // namespace

FontSetupDialog::FontSetupDialog(DisplaySettings& settings, const SetupDialogHost& host, ColourChooser& colours,
                                 QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      m_settings(settings), m_host(host), m_colours(colours) {
    setWindowTitle(u"Set display parameters"_s);

    auto* layout = new QGridLayout(this);
    layout->addWidget(createFontOverrideGroup(), 0, 0);
    layout->addWidget(createDisplaySizeGroup(), 0, 1);
    layout->addWidget(createWordWrapGroup(), 1, 0);
    layout->addWidget(createCaptionColourGroup(), 1, 1);
    layout->addLayout(createButtons(), 2, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    refreshFields();
}

QWidget* FontSetupDialog::createFontOverrideGroup() {
    m_numberOfLines = settingSpinBox(u"NumberOfLines"_s, DisplaySettings::MinLines, DisplaySettings::MaxLines,
                                     m_settings, &DisplaySettings::setNumberOfLines);
    m_fontHeight = settingSpinBox(u"FontHeight"_s, DisplaySettings::MinFontHeight, DisplaySettings::MaxFontHeight,
                                  m_settings, &DisplaySettings::setFontHeight);

    // Any installed font may be picked, and a name typed that this machine does not have.
    m_fontSelector = new QFontComboBox;
    m_fontSelector->setObjectName(u"FontSelector"_s);
    m_fontSelector->setEditable(true);
    m_fontSelector->setInsertPolicy(QComboBox::NoInsert);
    m_fontSelector->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_fontSelector->setMinimumContentsLength(FontNameCharacters);
    connect(m_fontSelector, &QComboBox::editTextChanged, this,
            [this](const QString& name) { m_settings.setFontSelector(name); });

    m_fontOverride =
        settingCheckBox(u"Font Override"_s, u"FontOverride"_s, m_settings, &DisplaySettings::setFontOverride);
    m_antiAliased = settingCheckBox(u"Anti-Aliased"_s, u"AntiAliased"_s, m_settings, &DisplaySettings::setAntiAliased);
    QPushButton* setSize = dialogButton(u"Set size using these parameters"_s, u"Button1"_s);
    setSize->setAutoDefault(false);
    connect(setSize, &QPushButton::clicked, this, &FontSetupDialog::requestSizeFromLines);

    auto* group = new QGroupBox(u"Font Override"_s);
    auto* fields = new QFormLayout(group);
    fields->addRow(u"Number of display lines"_s, m_numberOfLines);
    fields->addRow(u"Font height"_s, m_fontHeight);
    fields->addRow(u"Override font"_s, m_fontSelector);
    fields->addRow(m_fontOverride);
    fields->addRow(m_antiAliased);
    fields->addRow(setSize);
    return group;
}

QWidget* FontSetupDialog::createDisplaySizeGroup() {
    m_signWidth = settingSpinBox(u"SignWidth"_s, DisplaySettings::MinSignWidth, DisplaySettings::MaxSignWidth,
                                 m_settings, &DisplaySettings::setSignWidth);
    m_signHeight = settingSpinBox(u"SignHeight"_s, DisplaySettings::MinSignHeight, DisplaySettings::MaxSignHeight,
                                  m_settings, &DisplaySettings::setSignHeight);
    m_fontAdjust = settingSpinBox(u"FontAdjustSpin"_s, DisplaySettings::MinFontAdjust, DisplaySettings::MaxFontAdjust,
                                  m_settings, &DisplaySettings::setFontAdjustSpin);
    // Any monitor number is allowed; the window takes the last monitor for one beyond it.
    m_monitorNumber = settingSpinBox(u"MonitorNumber"_s, std::numeric_limits<int>::min(),
                                     std::numeric_limits<int>::max(), m_settings, &DisplaySettings::setMonitorNumber);
    // A number typed in chooses by number alone; a monitor chosen from the list keeps its name too,
    // so it is found again when outputs are numbered differently or connected later.
    connect(m_monitorNumber, &QSpinBox::valueChanged, this, [this] {
        m_settings.setMonitorName(QString());
        const QSignalBlocker quiet(m_monitorName);
        listMonitors();
    });
    m_monitorName = new QComboBox;
    m_monitorName->setObjectName(u"MonitorName"_s);
    connect(m_monitorName, &QComboBox::activated, this, &FontSetupDialog::chooseMonitorByName);
    listMonitors();
    m_fixTopLeft = settingCheckBox(u"Fix Top left"_s, u"FixTopLeft"_s, m_settings, &DisplaySettings::setFixTopLeft);

    auto* group = new QGroupBox(u"Display Size/position"_s);
    auto* fields = new QFormLayout(group);
    fields->addRow(u"Display width (pixels)"_s, m_signWidth);
    fields->addRow(u"Display Height (pixels)"_s, m_signHeight);
    fields->addRow(u"Font size adjust %"_s, m_fontAdjust);
    fields->addRow(u"Monitor Number"_s, m_monitorNumber);
    fields->addRow(u"Monitor"_s, m_monitorName);
    fields->addRow(m_fixTopLeft);
    return group;
}

QWidget* FontSetupDialog::createWordWrapGroup() {
    m_enableWordWrap = settingCheckBox(u"Force two lines (wrap)"_s, u"EnableWordWrap"_s, m_settings,
                                       &DisplaySettings::setEnableWordWrap);
    auto* group = new QGroupBox(u"Word Wrap"_s);
    auto* fields = new QVBoxLayout(group);
    fields->addWidget(m_enableWordWrap);
    return group;
}

QWidget* FontSetupDialog::createCaptionColourGroup() {
    m_captionColourPanel = new ColourPanel;
    m_captionColourPanel->setObjectName(u"CaptionColourPanel"_s);
    connect(m_captionColourPanel, &ColourPanel::clicked, this, &FontSetupDialog::chooseCaptionColour);
    auto* group = new QGroupBox(u"Choose Caption Colour"_s);
    auto* fields = new QVBoxLayout(group);
    fields->addWidget(m_captionColourPanel);
    return group;
}

QLayout* FontSetupDialog::createButtons() {
    QPushButton* ok = dialogButton(u"OK"_s, u"OKButton"_s);
    QPushButton* apply = dialogButton(u"Apply"_s, u"ApplyButton"_s);
    QPushButton* cancel = dialogButton(u"Cancel"_s, u"CancelButton"_s);
    ok->setDefault(true);
    apply->setAutoDefault(false);
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &FontSetupDialog::applyAndClose);
    connect(apply, &QPushButton::clicked, this, &FontSetupDialog::apply);
    connect(cancel, &QPushButton::clicked, this, &FontSetupDialog::cancel);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(apply);
    buttons->addWidget(cancel);
    return buttons;
}

void FontSetupDialog::refreshFields() {
    // Showing a setting is no edit of it: the fields stay quiet meanwhile.
    const QSignalBlocker quiet[] = {
        QSignalBlocker(m_numberOfLines), QSignalBlocker(m_fontHeight),  QSignalBlocker(m_fontSelector),
        QSignalBlocker(m_fontOverride),  QSignalBlocker(m_antiAliased), QSignalBlocker(m_signWidth),
        QSignalBlocker(m_signHeight),    QSignalBlocker(m_fontAdjust),  QSignalBlocker(m_monitorNumber),
        QSignalBlocker(m_monitorName),   QSignalBlocker(m_fixTopLeft),  QSignalBlocker(m_enableWordWrap)};
    m_numberOfLines->setValue(m_settings.NumberOfLines());
    m_fontHeight->setValue(m_settings.FontHeight());
    m_fontSelector->setCurrentIndex(m_fontSelector->findText(m_settings.FontSelector())); // none for a typed name
    m_fontSelector->setEditText(m_settings.FontSelector());
    m_fontOverride->setChecked(m_settings.FontOverride());
    m_antiAliased->setChecked(m_settings.AntiAliased());
    m_signWidth->setValue(m_settings.SignWidth());
    m_signHeight->setValue(m_settings.SignHeight());
    m_fontAdjust->setValue(m_settings.FontAdjustSpin());
    m_monitorNumber->setValue(m_settings.MonitorNumber());
    listMonitors();
    m_fixTopLeft->setChecked(m_settings.FixTopLeft());
    m_enableWordWrap->setChecked(m_settings.EnableWordWrap());
    m_captionColourPanel->setColour(DisplayColour(m_settings.CaptionColour()));
}

void FontSetupDialog::showNonModal() {
    show();
    raise();
    activateWindow();
}

bool FontSetupDialog::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        onActivated();
    return QDialog::event(event);
}

void FontSetupDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    takeShownValues();
}

void FontSetupDialog::takeShownValues() {
    const QSize windowSize = m_host.windowSize();
    m_settings.setSignWidth(windowSize.width());
    m_settings.setSignHeight(windowSize.height());
    m_settings.setCaptionColour(StringToColour(m_settings.FontColourSetting(), Colour::Yellow));
    refreshFields();
    m_cancelValues = {m_settings.NumberOfLines(), m_settings.FontHeight(), m_settings.FontSelector(),
                      m_settings.FontOverride()};
    centreOnPrimaryMonitor();
}

void FontSetupDialog::onActivated() {
    centreOnPrimaryMonitor();
}

void FontSetupDialog::listMonitors() {
    m_monitorName->clear();
    m_monitorName->addItem(u"(by number)"_s, QString());
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (const QScreen* screen : screens) {
        if (screen->name().isEmpty())
            continue; // a monitor the system gives no name is chosen by number
        const QRect area = deviceGeometry(*screen);
        m_monitorName->addItem(u"%1 (%2 x %3 at %4, %5)"_s.arg(screen->name())
                                   .arg(area.width())
                                   .arg(area.height())
                                   .arg(area.x())
                                   .arg(area.y()),
                               screen->name());
    }
    const QString chosen = m_settings.MonitorName();
    if (!chosen.isEmpty() && m_monitorName->findData(chosen) < 0)
        m_monitorName->addItem(u"%1 (not connected)"_s.arg(chosen), chosen);
    m_monitorName->setCurrentIndex(std::max(0, m_monitorName->findData(chosen)));
}

void FontSetupDialog::chooseMonitorByName(int item) {
    const QString name = m_monitorName->itemData(item).toString();
    const QList<QScreen*> screens = QGuiApplication::screens();
    const auto screen =
        std::find_if(screens.begin(), screens.end(), [&name](const QScreen* s) { return s->name() == name; });
    if (screen != screens.end()) {
        const QSignalBlocker quiet(m_monitorNumber);
        m_settings.setMonitorNumber(int(screen - screens.begin()));
        m_monitorNumber->setValue(m_settings.MonitorNumber());
    }
    m_settings.setMonitorName(name);
}

void FontSetupDialog::centreOnPrimaryMonitor() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return;
    const QRect monitor = primary->geometry();
    const QSize dialog = frameGeometry().size();
    move(monitor.left() + monitor.width() / 2 - dialog.width() / 2,
         monitor.top() + monitor.height() / 2 - dialog.height() / 2);
}

void FontSetupDialog::apply() {
    m_settings.applyFontOverride();
    m_settings.setFontColourSetting(ColourSettingText(m_settings.CaptionColour()));
    Q_EMIT applied();
}

void FontSetupDialog::applyAndClose() {
    apply();
    accept();
}

void FontSetupDialog::cancel() {
    m_settings.setNumberOfLines(m_cancelValues.numberOfLines);
    m_settings.setFontHeight(m_cancelValues.fontHeight);
    m_settings.setFontSelector(m_cancelValues.fontName);
    m_settings.setFontOverride(m_cancelValues.fontOverride);
    refreshFields();
    QDialog::reject();
}

void FontSetupDialog::reject() {
    cancel();
}

void FontSetupDialog::requestSizeFromLines() {
    const int lineHeight = m_host.lineHeight(m_settings.FontSelector(), m_settings.FontHeight());
    Q_EMIT sizeFromLinesRequested(lineHeight * m_settings.NumberOfLines());
    refreshFields();
}

void FontSetupDialog::chooseCaptionColour() {
    const std::optional<QColor> chosen = m_colours.chooseColour(m_captionColourPanel->colour(), this);
    if (!chosen || !chosen->isValid())
        return;
    // The caption colour itself changes at the next Apply.
    m_settings.setCaptionColour(colourValueOf(*chosen));
    m_captionColourPanel->setColour(*chosen);
}
