#include "FadeCoverage.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>

namespace {

quint32 mix(quint32 over, quint32 below, quint32 a) {
    return (over * a + below * (255 - a) + 127) / 255;
}

QRgb mixed(QRgb over, QRgb below, quint32 a) {
    if (a == 255)
        return over | 0xFF000000;
    if (a == 0)
        return below | 0xFF000000;
    return qRgb(int(mix(quint32(qRed(over)), quint32(qRed(below)), a)),
                int(mix(quint32(qGreen(over)), quint32(qGreen(below)), a)),
                int(mix(quint32(qBlue(over)), quint32(qBlue(below)), a)));
}

// What one step writes for each byte and colour: the passes over one byte, in their order, as one
// table; every level of the font colour over the background; the palette's colours drawn whole (a
// picture's pixels are always whole).
struct StepColours {
    StepColours(std::span<const FadeCoverage::Scale> scales, std::span<const QRgb> palette, QRgb font, QRgb background,
                int alpha, int brightness) {
        for (quint32 c = 0; c < 256; ++c) {
            quint32 value = c;
            for (const FadeCoverage::Scale scale : scales) {
                const quint32 factor =
                    quint32(std::clamp(scale == FadeCoverage::Scale::Fade ? 255 - alpha : brightness, 0, 255));
                value = value * factor / 255;
            }
            scaled[c] = value;
        }
        for (quint32 a = 0; a < 256; ++a)
            fontLevels[a] = scaledPixel(mixed(font, background, a));
        for (std::size_t i = 0; i < palette.size(); ++i)
            whole[i + 1] = scaledPixel(palette[i]);
    }

    QRgb scaledPixel(QRgb pixel) const {
        return (pixel & 0xFF000000) | scaled[qRed(pixel)] << 16 | scaled[qGreen(pixel)] << 8 | scaled[qBlue(pixel)];
    }

    std::array<quint32, 256> scaled{};
    std::array<QRgb, 256> fontLevels{};
    std::array<QRgb, 256> whole{};
};

} // namespace

QRgb FadeCoverage::colourAt(uchar colour, int x, int y, QRgb font) const {
    if (colour == FontColour)
        return font;
    if (colour == PictureColour)
        return reinterpret_cast<const QRgb*>(picture.constScanLine(y - pictureArea.top()))[x - pictureArea.left()];
    return palette[colour - 1u];
}

void FadeCoverage::apply(QImage& target, QRgb font, QRgb background, int alpha, int brightness) const {
    const QRect clipped = changing.intersected(target.rect());
    if (clipped.isEmpty())
        return;
    const StepColours step(scales, palette, font, background, alpha, brightness);

    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        const qsizetype first = qsizetype(y - area.top()) * area.width() + (clipped.left() - area.left());
        const uchar* level = levels.data() + first;
        const uchar* colour = colours.data() + first;
        QRgb* row = reinterpret_cast<QRgb*>(target.scanLine(y)) + clipped.left();
        const QRgb* pictureRow = y >= pictureArea.top() && y <= pictureArea.bottom()
                                     ? reinterpret_cast<const QRgb*>(picture.constScanLine(y - pictureArea.top()))
                                     : nullptr;
        const int pictureLeft = clipped.left() - pictureArea.left();
        for (int x = 0; x < clipped.width(); ++x) {
            // Most of a caption is background or solid glyph in the font colour: eight pixels of
            // either are written at once.
            if (x + 8 <= clipped.width()) {
                quint64 eightLevels;
                quint64 eightColours;
                std::memcpy(&eightLevels, level + x, sizeof eightLevels);
                std::memcpy(&eightColours, colour + x, sizeof eightColours);
                if (eightColours == 0 && (eightLevels == 0 || eightLevels == ~quint64(0))) {
                    std::fill_n(row + x, 8, step.fontLevels[eightLevels == 0 ? 0 : 255]);
                    x += 7;
                    continue;
                }
            }
            const uchar c = colour[x];
            if (c == FontColour)
                row[x] = step.fontLevels[level[x]];
            else if (c == PictureColour)
                row[x] = step.scaledPixel(pictureRow[pictureLeft + x]);
            else if (level[x] == 255)
                row[x] = step.whole[c];
            else
                row[x] = step.scaledPixel(mixed(palette[c - 1u], background, level[x]));
        }
    }
}

void FadeCoverage::crop(const QRect& part) {
    std::vector<uchar> keptLevels;
    std::vector<uchar> keptColours;
    keptLevels.reserve(std::size_t(part.width()) * std::size_t(part.height()));
    keptColours.reserve(keptLevels.capacity());
    for (int y = part.top(); y <= part.bottom(); ++y) {
        const qsizetype first = qsizetype(y - area.top()) * area.width() + (part.left() - area.left());
        keptLevels.insert(keptLevels.end(), levels.begin() + first, levels.begin() + first + part.width());
        keptColours.insert(keptColours.end(), colours.begin() + first, colours.begin() + first + part.width());
    }
    levels = std::move(keptLevels);
    colours = std::move(keptColours);
    area = part;
}

void FadeCoverage::keepChanging(Constancy constancy, QRgb font, QRgb background) {
    const bool fades = std::find(scales.begin(), scales.end(), Scale::Fade) != scales.end();
    changing = QRect();
    for (int y = 0; y < area.height(); ++y) {
        int left = -1;
        int right = -1;
        for (int x = 0; x < area.width(); ++x) {
            const std::size_t i = std::size_t(y) * std::size_t(area.width()) + std::size_t(x);
            const uchar a = levels[i];
            const bool inFont = colours[i] == FontColour;
            const bool kept = (a == 255 || constancy.background) && (a == 0 || !inFont || constancy.font);
            if (kept && !fades)
                continue;
            // A pixel that stays black before the fade's scaling stays black after it.
            if (kept &&
                (mixed(colourAt(colours[i], area.left() + x, area.top() + y, font), background, a) & 0xFFFFFF) == 0)
                continue;
            if (left < 0)
                left = x;
            right = x;
        }
        if (left >= 0)
            changing |= QRect(area.left() + left, area.top() + y, right - left + 1, 1);
    }
    crop(changing.isEmpty() ? QRect(area.topLeft(), QSize(0, 0)) : changing);
}

CoverageRecorder::CoverageRecorder(const QRect& area, QRgb font, QRgb background, int alpha, int brightness)
    : m_area(area), m_font(font | 0xFF000000), m_background(background | 0xFF000000), m_fade(255 - alpha),
      m_brightness(brightness) {}

void CoverageRecorder::grow(const QRect& part) {
    if (m_bounds.contains(part))
        return;
    // What lies outside the bounds is background: they grow over it as the caption is drawn, so a
    // caption costs what it covers, not the whole view.
    const QRect bounds = m_bounds | part;
    std::vector<uchar> levels(std::size_t(bounds.width()) * std::size_t(bounds.height()), 0);
    std::vector<uchar> colours(levels.size(), FadeCoverage::FontColour);
    for (int y = m_bounds.top(); !m_bounds.isEmpty() && y <= m_bounds.bottom(); ++y) {
        const std::size_t from = std::size_t(index(m_bounds.left(), y));
        const std::size_t to =
            std::size_t(y - bounds.top()) * std::size_t(bounds.width()) + std::size_t(m_bounds.left() - bounds.left());
        std::copy_n(m_levels.begin() + qsizetype(from), m_bounds.width(), levels.begin() + qsizetype(to));
        std::copy_n(m_colours.begin() + qsizetype(from), m_bounds.width(), colours.begin() + qsizetype(to));
    }
    m_bounds = bounds;
    m_levels = std::move(levels);
    m_colours = std::move(colours);
}

int CoverageRecorder::colourIndex(QRgb colour) {
    if (colour == m_font)
        return FadeCoverage::FontColour;
    const auto found = std::find(m_palette.begin(), m_palette.end(), colour);
    if (found != m_palette.end())
        return int(found - m_palette.begin()) + 1;
    if (m_palette.size() == FadeCoverage::MaxPaletteColours)
        return -1;
    m_palette.push_back(colour);
    return int(m_palette.size());
}

bool CoverageRecorder::drawable(const QRect& area) {
    if (!m_scales.empty() || !m_area.contains(area))
        m_spoiled = true;
    return !m_spoiled;
}

void CoverageRecorder::fill(const QRect& area, QRgb colour) {
    if (m_spoiled || area.isEmpty() || !drawable(area))
        return;
    colour |= 0xFF000000;
    const uchar level = colour == m_background ? 0 : 255;
    const int found = colour == m_background ? FadeCoverage::FontColour : colourIndex(colour);
    if (found < 0) {
        m_spoiled = true;
        return;
    }
    const uchar kept = uchar(found);
    grow(area);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const qsizetype first = index(area.left(), y);
        std::fill_n(m_levels.begin() + first, area.width(), level);
        std::fill_n(m_colours.begin() + first, area.width(), kept);
    }
}

void CoverageRecorder::stamp(const QImage& glyphs, const QRect& drawn, QRgb colour) {
    if (m_spoiled || drawn.isEmpty())
        return;
    const bool inside = m_scales.empty() && m_area.contains(drawn);
    const int found = colourIndex(colour | 0xFF000000);
    if (found < 0) {
        m_spoiled = true;
        return;
    }
    const uchar kept = uchar(found);
    if (inside)
        grow(drawn);
    for (int y = drawn.top(); y <= drawn.bottom(); ++y) {
        const uchar* coverage = glyphs.constScanLine(y - drawn.top());
        for (int x = drawn.left(); x <= drawn.right(); ++x) {
            const uchar a = coverage[x - drawn.left()];
            if (a == 0)
                continue;
            if (!inside) {
                m_spoiled = true;
                return;
            }
            // Over the background a glyph's edge is its colour's blend with it; over its own colour it
            // leaves that colour. Over anything else it is neither.
            const std::size_t i = std::size_t(index(x, y));
            uchar& level = m_levels[i];
            if (a == 255 || level == 0) {
                level = a;
                m_colours[i] = kept;
            } else if (level != 255 || m_colours[i] != kept) {
                m_spoiled = true;
                return;
            }
        }
    }
}

void CoverageRecorder::pixels(const QImage& image, const QRect& drawn) {
    if (m_spoiled || drawn.isEmpty() || !drawable(drawn))
        return;
    if (!m_picture.isNull()) {
        m_spoiled = true;
        return;
    }
    m_picture = image.copy(drawn);
    m_pictureArea = drawn;
    grow(drawn);
    for (int y = drawn.top(); y <= drawn.bottom(); ++y) {
        const qsizetype first = index(drawn.left(), y);
        std::fill_n(m_levels.begin() + first, drawn.width(), uchar(255));
        std::fill_n(m_colours.begin() + first, drawn.width(), FadeCoverage::PictureColour);
    }
}

void CoverageRecorder::scale(const QRect& area, int factor) {
    if (m_spoiled || factor == 255)
        return;
    // The brightness is told first where the two are one: the recording of the next step tells them apart.
    if (factor == m_brightness)
        m_scales.emplace_back(area, FadeCoverage::Scale::Brightness);
    else if (factor == m_fade)
        m_scales.emplace_back(area, FadeCoverage::Scale::Fade);
    else
        m_spoiled = true;
}

std::optional<FadeCoverage> CoverageRecorder::finish(const QRect& touched) const {
    const QRect area = touched.intersected(m_area);
    if (m_spoiled || area.isEmpty())
        return std::nullopt;
    FadeCoverage coverage;
    for (const auto& [scaled, scale] : m_scales) {
        if (scaled != area)
            return std::nullopt;
        coverage.scales.push_back(scale);
    }
    coverage.area = area;
    coverage.changing = area;
    coverage.levels.assign(std::size_t(area.width()) * std::size_t(area.height()), 0);
    coverage.colours.assign(coverage.levels.size(), FadeCoverage::FontColour);
    const QRect drawn = m_bounds.intersected(area);
    for (int y = drawn.top(); !drawn.isEmpty() && y <= drawn.bottom(); ++y) {
        const qsizetype from = index(drawn.left(), y);
        const qsizetype to = qsizetype(y - area.top()) * area.width() + (drawn.left() - area.left());
        std::copy_n(m_levels.begin() + from, drawn.width(), coverage.levels.begin() + to);
        std::copy_n(m_colours.begin() + from, drawn.width(), coverage.colours.begin() + to);
    }
    coverage.palette = m_palette;
    coverage.picture = m_picture;
    coverage.pictureArea = m_pictureArea;
    return coverage;
}
