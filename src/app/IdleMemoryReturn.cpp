#include "IdleMemoryReturn.h"

#include "presentation/Presenter.h"

#include <malloc.h>

IdleMemoryReturn::IdleMemoryReturn(const Presenter& presenter, QObject* parent)
    : QObject(parent), m_presenter(presenter) {
    // A coarse timer: a wake-up every few seconds is nothing to an idle display.
    m_timer.setTimerType(Qt::VeryCoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, &IdleMemoryReturn::returnIfIdle);
    m_timer.start(IntervalMilliseconds);
}

void IdleMemoryReturn::returnIfIdle() {
    // Between captions only: the pages returned would be taken again at once in an effect.
    if (m_presenter.effectRunning() || m_presenter.queuedDocuments() > 0)
        return;
    malloc_trim(0);
}
