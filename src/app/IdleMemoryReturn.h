#pragma once

#include <QObject>
#include <QTimer>

class Presenter;

// Gives the memory a busy moment freed back to the system once the display is idle. Picture
// captions pass through buffers of several MiB (the document, its decoded bytes, the picture);
// the allocator keeps what they free for later and, as sizes vary from caption to caption, leaves
// holes that small allocations pin, so over a show the resident size kept climbing. Returning the
// free pages while no effect runs and no document waits costs no animation step.
class IdleMemoryReturn : public QObject {
public:
    static constexpr int IntervalMilliseconds = 5000;

    explicit IdleMemoryReturn(const Presenter& presenter, QObject* parent = nullptr);

private:
    void returnIfIdle();

    const Presenter& m_presenter;
    QTimer m_timer;
};
