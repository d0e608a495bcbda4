#include "presentation/AbsurdInputs.h"
#include "presentation/HeadlessHost.h"
#include "presentation/Presenter.h"

#include <QString>
#include <benchmark/benchmark.h>
#include <ctime>
#include <optional>
#include <string>

using namespace Qt::Literals::StringLiterals;

// The slowest animation step of every absurd document the feed accepts, at a full-HD client, in
// processor time: the caption fades in to its end, then fades out before a short caption. The first
// step of each (the caption's layout, which happens once) is counted apart from the others, which
// must keep within a 10 ms tick.

namespace {

constexpr QSize Client(1920, 1080);

// The processor time of this thread: what a step costs, however busy the machine is with others.
double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

const QString NextCaption =
    u"<Surtitles><Cue><Captions Stream0=\"Next\" StrName0=\"English\"/>"
    u"<Language Name=\"English\"/><Effects InEffect=\"Fade\" Speed=\"Fast\"/></Cue></Surtitles>"_s;

void BM_AbsurdDocumentSteps(benchmark::State& state, const AbsurdInputs::Case& absurd) {
    const QString document = absurd.document();
    double layoutSeconds = 0;
    double worstSeconds = 0;
    int steps = 0;
    for (auto _ : state) {
        HeadlessHost host;
        host.presentationSettings.baseFontHeight = Client.width() * 2 / 56; // as the window sets it
        absurd.settings(host.presentationSettings);
        Presenter presenter(host);
        presenter.resizeDisplay(Client);
        presenter.enqueue(document);
        presenter.ShowSurtitle();
        // Steps until the caption has faded in, then until it has faded out before the next.
        const auto run = [&](auto going) {
            std::optional<Presenter::AnimationState> lastPhase;
            for (int step = 0; step < 2048 && going(); ++step) {
                const Presenter::AnimationState phase = presenter.effectState();
                const double start = threadSeconds();
                presenter.AnimateTimerTimer();
                const double seconds = threadSeconds() - start;
                // The first step of a fade-in lays the caption out, as does the first of its fade-out.
                (phase != lastPhase ? layoutSeconds : worstSeconds) =
                    std::max(phase != lastPhase ? layoutSeconds : worstSeconds, seconds);
                lastPhase = phase;
                ++steps;
            }
        };
        run([&] { return presenter.effectRunning(); });
        presenter.enqueue(NextCaption);
        presenter.ShowSurtitle();
        run([&] { return presenter.effectRunning() && presenter.effectState() == Presenter::AnimationState::FadeOut; });
    }
    state.counters["layout_ms"] = layoutSeconds * 1e3;
    state.counters["worst_step_ms"] = worstSeconds * 1e3;
    state.counters["steps"] = steps;
}

const bool Registered = [] {
    for (const AbsurdInputs::Case& absurd : AbsurdInputs::Cases()) {
        if (absurd.outcome == AbsurdInputs::Outcome::Refused)
            continue;
        benchmark::RegisterBenchmark((std::string("BM_AbsurdDocumentSteps/") + absurd.name).c_str(),
                                     BM_AbsurdDocumentSteps, absurd)
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace
