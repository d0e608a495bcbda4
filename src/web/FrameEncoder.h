#pragma once

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QThreadPool>

// PNG pictures made on a thread of their own, one at a time, so that the display's GUI thread never
// waits for a compressor. Lossless: a page decodes exactly the pixels it was given.
class FrameEncoder : public QObject {
    Q_OBJECT

public:
    explicit FrameEncoder(QObject* parent = nullptr);
    // Waits for a picture under way; its result is not delivered.
    ~FrameEncoder() override;

    bool busy() const { return m_busy; }
    // Starts encoding picture unless busy; encoded() follows on this object's thread.
    bool encode(const QImage& picture, quint64 version);

Q_SIGNALS:
    void encoded(quint64 version, const QByteArray& png);

private:
    QThreadPool m_pool;
    bool m_busy = false;
};

// The picture as PNG, compressed lightly: captions are mostly flat areas, which even the fastest
// setting shrinks well, and every millisecond spent here delays the picture in the browser. Empty
// when it cannot be encoded.
QByteArray EncodePng(const QImage& picture);
