#pragma once

#include "ColourChooser.h"
#include "DisplaySettings.h"

#include <QComboBox>
#include <QDialog>

class ColourPanel;
class QCheckBox;
class QFontComboBox;
class QSpinBox;
class SetupDialogHost;

// "Set display parameters": the operator's editor of the display settings. Its fields are the live
// settings (an edit is in effect at once, for whoever reads it next); Apply makes the font and
// colour choices the ones captions use and says so with applied(), for the owner to give the window
// its size and position and the display its font. It lives hidden from start-up to the end and is
// shown non-modal, on top of the presentation window.
class FontSetupDialog : public QDialog {
    Q_OBJECT

public:
    // host answers what the dialog asks of the display (its window's size, a line's height); colours
    // asks the operator for the caption colour.
    FontSetupDialog(DisplaySettings& settings, const SetupDialogHost& host, ColourChooser& colours = colourDialog(),
                    QWidget* parent = nullptr);

    // Shows the dialog without making it modal, in front of every other window and staying there.
    void showNonModal();

    // Shows the values that others have set in the settings since the fields last showed them
    // (stored settings, the command line, the font adjust keys). Every showing does this too.
    void refreshFields();

    // The buttons, each named as its object: Apply (ApplyButton), OK (OKButton), Cancel
    // (CancelButton), "Set size using these parameters" (Button1), the colour panel
    // (CaptionColourPanel).
    void apply();
    void applyAndClose();
    // Puts back the lines, font height, font name and override tick that the dialog was opened with,
    // and hides the dialog; every other edit stays.
    void cancel();
    // "Set size using these parameters": the window as high as the chosen lines of the chosen font.
    void requestSizeFromLines();
    void chooseCaptionColour();

    // Esc and the window's close button cancel.
    void reject() override;

Q_SIGNALS:
    // Apply (or OK): the settings hold the choices that now take effect.
    void applied();
    // "Set size using these parameters": the window should become height pixels high, the chosen
    // lines of the chosen font. The settings' sign height follows once the window has its size.
    void sizeFromLinesRequested(int height);

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The values Cancel puts back, taken at every showing.
    struct CancelValues {
        int numberOfLines = 0;
        int fontHeight = 0;
        QString fontName;
        bool fontOverride = false;
    };

    // Each showing (FormShow) and each activation (FormActivate).
    void takeShownValues();
    void onActivated();
    void centreOnPrimaryMonitor();
    // The monitor list as connected now, the chosen name current (one not connected listed too).
    void listMonitors();
    void chooseMonitorByName(int item);
    QWidget* createFontOverrideGroup();
    QWidget* createDisplaySizeGroup();
    QWidget* createWordWrapGroup();
    QWidget* createCaptionColourGroup();
    QLayout* createButtons();

    DisplaySettings& m_settings;
    const SetupDialogHost& m_host;
    ColourChooser& m_colours;
    CancelValues m_cancelValues;

    QSpinBox* m_numberOfLines = nullptr;
    QSpinBox* m_fontHeight = nullptr;
    QFontComboBox* m_fontSelector = nullptr;
    QCheckBox* m_fontOverride = nullptr;
    QCheckBox* m_antiAliased = nullptr;
    QSpinBox* m_signWidth = nullptr;
    QSpinBox* m_signHeight = nullptr;
    QSpinBox* m_fontAdjust = nullptr;
    QSpinBox* m_monitorNumber = nullptr;
    QComboBox* m_monitorName = nullptr; // the connected monitors by output name
    QCheckBox* m_fixTopLeft = nullptr;
    QCheckBox* m_enableWordWrap = nullptr;
    ColourPanel* m_captionColourPanel = nullptr;
};
