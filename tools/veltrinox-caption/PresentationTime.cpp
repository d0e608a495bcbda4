#include "PresentationTime.h"

#include "presentation/AnimationTimer.h"
#include "presentation/HeadlessHost.h"
#include "presentation/Presenter.h"

namespace {

const QSize SmallClient(32, 8);
// Far more than any effect takes, so that a fault can never hold the tool in a loop.
constexpr qint64 MaxStepsPerDocument = 100000;

} // namespace

qint64 PresentationMilliseconds(const QStringList& documents, const QString& clearSpeed) {
    HeadlessHost host;
    host.speed = clearSpeed;
    host.presentationSettings.baseFontHeight = SmallClient.height();
    Presenter presenter(host);
    presenter.resizeDisplay(SmallClient);
    qint64 steps = 0;
    for (const QString& document : documents) {
        presenter.enqueue(document);
        presenter.ShowSurtitle();
        for (qint64 step = 0; step < MaxStepsPerDocument && presenter.effectRunning(); ++step, ++steps)
            presenter.AnimateTimerTimer();
    }
    return steps * AnimationTimer::IntervalMilliseconds;
}
