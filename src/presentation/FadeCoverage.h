#pragma once

#include <QImage>
#include <QRect>
#include <QRgb>
#include <optional>
#include <vector>

// A caption's picture as a fade step draws it, kept so that the later steps of the fade write it in
// their colours without laying it out or rasterising it again. Each pixel is a colour over the
// background as far as its level (0 the background, 255 the colour alone), the colour either fixed
// (a picture's pixels, formatted text in colours of its own) or the font colour of the moment; then
// the passes that scale every colour byte (c × f div 255): the fade of formatted and picture
// captions, and the caption's brightness.
struct FadeCoverage {
    // What a scaling pass scales by at a step: 255 minus the step's alpha, or the caption's brightness.
    enum class Scale { Fade, Brightness };
    // What a pixel's colour index names besides the colours of the palette.
    static constexpr uchar FontColour = 0;
    static constexpr uchar PictureColour = 255; // the pixel of picture there
    static constexpr std::size_t MaxPaletteColours = 254;

    QRect area;                 // in the display image; every scaling pass covers it whole
    std::vector<uchar> levels;  // row by row over area
    std::vector<uchar> colours; // row by row: FontColour, PictureColour or 1 + an index into palette
    std::vector<QRgb> palette;  // fixed colours: formatted text's own, a picture's black surround
    QImage picture;             // the pixels a picture drew, over pictureArea
    QRect pictureArea;
    std::vector<Scale> scales; // in the order they run
    QRect changing;            // the part of area whose pixels change from step to step

    // Writes the part of target (a 32-bit RGB image holding area) that changes, as a step with these
    // colours, alpha and brightness draws it.
    void apply(QImage& target, QRgb font, QRgb background, int alpha, int brightness) const;

    // Which of a step's inputs stay the same through a fade: pixels that depend on no other keep
    // their value, and are not written again. Keeps only the part that changes.
    struct Constancy {
        bool font = false;
        bool background = false;
    };
    void keepChanging(Constancy constancy, QRgb font, QRgb background);

    // Keeps only part of area.
    void crop(const QRect& part);

    bool operator==(const FadeCoverage&) const = default;

private:
    QRgb colourAt(uchar colour, int x, int y, QRgb font) const;
};

// Records what a caption's composition draws as a FadeCoverage, given the colours, alpha and
// brightness of the step it draws. Colours are told apart by value: a fill in the background colour
// is background, anything else in the font colour is the font's. A glyph's edge over a colour other
// than the background, a copy, a scaling pass that is neither the fade nor the brightness or does not
// cover all that was drawn, or drawing after scaling, spoils the recording.
class CoverageRecorder {
public:
    CoverageRecorder(const QRect& area, QRgb font, QRgb background, int alpha, int brightness);

    bool spoiled() const { return m_spoiled; }
    void spoil() { m_spoiled = true; }

    // A fill of area (clipped to the image) in colour.
    void fill(const QRect& area, QRgb colour);
    // A glyph stamp blended in colour over drawn: coverage levels, one byte a pixel, whose top-left
    // pixel is drawn's.
    void stamp(const QImage& glyphs, const QRect& drawn, QRgb colour);
    // Pixels copied into drawn of image (once: a second picture spoils the recording).
    void pixels(const QImage& image, const QRect& drawn);
    // Every colour byte of area scaled by factor.
    void scale(const QRect& area, int factor);

    // The coverage of what was drawn inside touched (the composition's bounds), or nothing when spoiled.
    std::optional<FadeCoverage> finish(const QRect& touched) const;

private:
    bool drawable(const QRect& area);
    int colourIndex(QRgb colour); // -1 when the palette is full
    void grow(const QRect& part);
    qsizetype index(int x, int y) const {
        return qsizetype(y - m_bounds.top()) * m_bounds.width() + (x - m_bounds.left());
    }

    QRect m_area;
    QRect m_bounds; // what m_levels and m_colours cover: all that was drawn
    QRgb m_font;
    QRgb m_background;
    int m_fade;
    int m_brightness;
    std::vector<uchar> m_levels;
    std::vector<uchar> m_colours;
    std::vector<QRgb> m_palette;
    QImage m_picture;
    QRect m_pictureArea;
    std::vector<std::pair<QRect, FadeCoverage::Scale>> m_scales;
    bool m_spoiled = false;
};
