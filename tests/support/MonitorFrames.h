#pragma once

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QtEndian>

// The web monitor's live picture as a page puts it together from its frames: each frame the whole
// picture's size and where its part lies (four 32-bit little-endian numbers), then the part as PNG.
struct MonitorFrames {
    QImage picture;
    QRect lastPart;
    int count = 0;

    bool add(const QByteArray& frame) {
        if (frame.size() < 16)
            return false;
        const auto number = [&](int index) { return int(qFromLittleEndian<quint32>(frame.constData() + 4 * index)); };
        const QSize size(number(0), number(1));
        const QImage part = QImage::fromData(frame.sliced(16), "PNG");
        if (part.isNull())
            return false;
        if (picture.size() != size) {
            picture = QImage(size, QImage::Format_ARGB32);
            picture.fill(Qt::transparent);
        }
        lastPart = QRect(QPoint(number(2), number(3)), part.size());
        QPainter painter(&picture);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(lastPart.topLeft(), part);
        ++count;
        return true;
    }
};
