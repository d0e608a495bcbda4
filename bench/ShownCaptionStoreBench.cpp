#include "SampleCaptions.h"
#include "app/ShownCaptionStore.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace Qt::Literals::StringLiterals;

// Keeping the caption on screen for the next start after an unclean end. The display's own thread
// only hands each caption over; the writer thread encodes it and replaces the file (written aside,
// synced, renamed). Run on the disk the display keeps its state on (TMPDIR) for figures that mean
// anything: a tmpfs syncs for free.

namespace {

// A cue's caption; with a picture size, its shown column carries an embedded picture of that many
// bytes, as a picture caption does.
ShownCaption sampleShown(qsizetype pictureBytes) {
    ShownCaption shown{SampleCaption(12), u"100"_s};
    if (pictureBytes > 0)
        shown.caption.Caption[0].Text = u"#IMAGE:#"_s + QString::fromLatin1(QByteArray(pictureBytes, 'B').toBase64());
    return shown;
}

// What a caption costs the display's thread.
void BM_HandOverShownCaption(benchmark::State& state) {
    const QTemporaryDir folder;
    ShownCaptionStore store(ShownCaptionStore::filePath(folder.path(), 10000));
    const ShownCaption shown = sampleShown(state.range(0));
    for (auto _ : state)
        store.captionShown(shown);
    store.flush();
}

// What a caption costs the writer: from hand-over to the file replaced.
void BM_WriteShownCaption(benchmark::State& state) {
    const QTemporaryDir folder;
    ShownCaptionStore store(ShownCaptionStore::filePath(folder.path(), 10000));
    const ShownCaption shown = sampleShown(state.range(0));
    for (auto _ : state) {
        store.captionShown(shown);
        store.flush();
    }
}

// What the next start takes to read the caption back.
void BM_LoadShownCaption(benchmark::State& state) {
    const QTemporaryDir folder;
    ShownCaptionStore store(ShownCaptionStore::filePath(folder.path(), 10000));
    store.captionShown(sampleShown(state.range(0)));
    store.flush();
    for (auto _ : state) {
        std::optional<ShownCaption> shown = store.load();
        if (!shown)
            state.SkipWithError("the caption was not read back");
        benchmark::DoNotOptimize(shown);
    }
}

// A text caption; a picture for a 956 x 604 window (a 24-bit BMP); a 3840 x 2160 32-bit one.
void pictureSizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->Arg(0)->Arg(956 * 604 * 3 + 54)->Arg(3840 * 2160 * 4 + 54);
}

} // namespace

BENCHMARK(BM_HandOverShownCaption)->Apply(pictureSizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WriteShownCaption)->Apply(pictureSizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadShownCaption)->Apply(pictureSizes)->Unit(benchmark::kMillisecond);
