#pragma once

#include <QByteArray>
#include <QtGlobal>

// Qt keeps rendered glyphs in a cache only up to 64 pixels and draws larger ones as outlines every
// time, several times slower. Captions are large: they are cached up to the size a "Large" caption
// has on a 4K display. Call before the first text is drawn.
inline void PrepareTextRendering() {
    constexpr int CachedGlyphPixels = 320;
    if (!qEnvironmentVariableIsSet("QT_MAX_CACHED_GLYPH_SIZE"))
        qputenv("QT_MAX_CACHED_GLYPH_SIZE", QByteArray::number(CachedGlyphPixels));
}
