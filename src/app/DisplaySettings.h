#pragma once

#include "StoredSettings.h"
#include "captions/Colours.h"
#include "window/PlacementSettings.h"

#include <QString>

// The operator's display settings, read by the presentation at the moment it needs them: override
// font, font size adjustment, anti-aliasing, forced word wrap, display lines, sign size, monitor,
// "Fix Top left" and the caption colour. Each bounded value is brought to the nearer end of its
// range whoever sets it (stored settings, the command line, the keyboard, the setup dialog).
class DisplaySettings : public PlacementSettings {
public:
    // The ranges are those of the stored values.
    static constexpr int MinLines = StoredSettings::LinesRange.minimum;
    static constexpr int MaxLines = StoredSettings::LinesRange.maximum;
    static constexpr int MinFontHeight = StoredSettings::FontHeightRange.minimum;
    static constexpr int MaxFontHeight = StoredSettings::FontHeightRange.maximum;
    static constexpr int MinSignWidth = StoredSettings::SignWidthRange.minimum;
    static constexpr int MaxSignWidth = StoredSettings::SignWidthRange.maximum;
    static constexpr int MinSignHeight = StoredSettings::SignHeightRange.minimum;
    static constexpr int MaxSignHeight = StoredSettings::SignHeightRange.maximum;
    static constexpr int MinFontAdjust = StoredSettings::FontAdjustRange.minimum;
    static constexpr int MaxFontAdjust = StoredSettings::FontAdjustRange.maximum;

    int NumberOfLines() const { return m_numberOfLines; }
    void setNumberOfLines(int lines);

    int FontHeight() const { return m_fontHeight; }
    void setFontHeight(int points);

    const QString& FontSelector() const { return m_fontSelector; }
    void setFontSelector(const QString& name) { m_fontSelector = name; }

    bool FontOverride() const { return m_fontOverride; }
    void setFontOverride(bool on) { m_fontOverride = on; }

    bool AntiAliased() const { return m_antiAliased; }
    void setAntiAliased(bool on) { m_antiAliased = on; }

    int SignWidth() const { return m_signWidth; }
    void setSignWidth(int pixels);

    int SignHeight() const { return m_signHeight; }
    void setSignHeight(int pixels);

    int FontAdjustSpin() const { return m_fontAdjust; }
    void setFontAdjustSpin(int percent);

    // Any monitor index is kept; the window takes the last monitor for one beyond it.
    int MonitorNumber() const override { return m_monitorNumber; }
    void setMonitorNumber(int index) { m_monitorNumber = index; }

    // The chosen monitor's output name; empty: by number alone.
    QString MonitorName() const override { return m_monitorName; }
    void setMonitorName(const QString& name) { m_monitorName = name; }

    bool FixTopLeft() const override { return m_fixTopLeft; }
    void setFixTopLeft(bool on) { m_fixTopLeft = on; }

    bool EnableWordWrap() const { return m_enableWordWrap; }
    void setEnableWordWrap(bool on) { m_enableWordWrap = on; }

    // The colour the operator has chosen; captions take it once the setup dialog's Apply has made
    // it the FontColourSetting.
    ColourValue CaptionColour() const { return m_captionColour; }
    void setCaptionColour(ColourValue colour) { m_captionColour = colour; }

    // The caption colour in effect, as the settings hold it ("$00FFFF").
    const QString& FontColourSetting() const { return m_fontColourSetting; }
    void setFontColourSetting(const QString& colour) { m_fontColourSetting = colour; }

    // The font captions take while FontOverride is on; set only by the setup dialog's Apply.
    const QString& OverrideFontName() const { return m_overrideFontName; }
    int OverrideFontSize() const { return m_overrideFontSize; }
    void applyFontOverride();

private:
    int m_numberOfLines = 1;
    int m_fontHeight = 8;
    QString m_fontSelector;
    bool m_fontOverride = false;
    bool m_antiAliased = false;
    int m_signWidth = 352;
    int m_signHeight = 64;
    int m_fontAdjust = 100;
    int m_monitorNumber = 0;
    QString m_monitorName;
    bool m_fixTopLeft = false;
    bool m_enableWordWrap = false;
    ColourValue m_captionColour = Colour::Yellow;
    QString m_fontColourSetting = ColourSettingText(Colour::Yellow);
    QString m_overrideFontName;
    int m_overrideFontSize = 0;
};
