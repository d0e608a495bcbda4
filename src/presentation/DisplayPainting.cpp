#include "DisplayPainting.h"

#include "PixelPasses.h"

#include <QRegion>

void PaintDisplayImage(QPainter& painter, const Presenter& presenter, QPoint imagePosition, const QRect& area) {
    const std::optional<Presenter::PlainView> view = presenter.plainView();
    if (view && QRect(QPoint(0, 0), presenter.displaySize() / 2).contains(area)) {
        // Filling the colour writes each pixel of the window once, where copying it from the display
        // image would read it too.
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        for (const QRect& part : QRegion(area).subtracted(view->drawn))
            painter.fillRect(part, QColor::fromRgb(view->colour));
        const QRect drawn = area.intersected(view->drawn);
        if (!drawn.isEmpty())
            painter.drawImage(drawn.topLeft(), *view->image, drawn);
        return;
    }
    const QImage& display = presenter.displayImage();
    if (imagePosition != QPoint(0, 0))
        painter.fillRect(area, Qt::black);
    const QRect source = area.translated(-imagePosition).intersected(display.rect());
    painter.drawImage(source.topLeft() + imagePosition, display, source);
}

void ComposeKeyedDisplayImage(QImage& frame, const Presenter& presenter, QPoint imagePosition, QRgb key, int alpha) {
    frame.fill(Qt::transparent);
    QPainter composer(&frame);
    composer.drawImage(imagePosition, presenter.displayImage());
    composer.end();
    KeyOutColour(frame, key, alpha);
}
