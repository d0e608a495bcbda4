#pragma once

#include <QString>

// Scales every number after "font-size:" (lower case) in formatted caption text by scale percent,
// so markup sizes follow the caption's size; units after the number stay as they are.
QString ScaleFontHTML(const QString& text, int scale);
