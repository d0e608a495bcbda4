#include "DisplaySettings.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

void DisplaySettings::setNumberOfLines(int lines) {
    m_numberOfLines = std::clamp(lines, MinLines, MaxLines);
}

void DisplaySettings::setFontHeight(int points) {
    m_fontHeight = std::clamp(points, MinFontHeight, MaxFontHeight);
}

void DisplaySettings::setSignWidth(int pixels) {
    m_signWidth = std::clamp(pixels, MinSignWidth, MaxSignWidth);
}

void DisplaySettings::setSignHeight(int pixels) {
    m_signHeight = std::clamp(pixels, MinSignHeight, MaxSignHeight);
}

void DisplaySettings::setFontAdjustSpin(int percent) {
    m_fontAdjust = std::clamp(percent, MinFontAdjust, MaxFontAdjust);
}

void DisplaySettings::applyFontOverride() {
    m_overrideFontName = m_fontOverride ? m_fontSelector : QString();
    m_overrideFontSize = m_fontOverride ? m_fontHeight : 0;
}
