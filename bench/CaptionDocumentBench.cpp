#include "SampleCaptions.h"
#include "captions/CaptionDocumentReader.h"
#include "captions/CaptionDocumentWriter.h"

#include <benchmark/benchmark.h>

// Reading and writing one ten-column caption document, the work the display does per cue.

namespace {

void BM_ReadCaptionDocument(benchmark::State& state) {
    const QString document = SampleCaptionDocument(12);
    state.counters["document_units"] = double(document.size());
    CaptionDocumentState captions;
    if (!ReadCaptionDocument(document, captions)) {
        state.SkipWithError("the sample document does not parse");
        return;
    }
    for (auto _ : state) {
        std::optional<QString> language = ReadCaptionDocument(document, captions);
        benchmark::DoNotOptimize(language);
        benchmark::DoNotOptimize(captions);
    }
}

void BM_WriteCaptionDocument(benchmark::State& state) {
    const TCaptions caption = SampleCaption(12);
    for (auto _ : state) {
        CaptionDocumentText document = CaptiontoXML(caption);
        benchmark::DoNotOptimize(document);
    }
}

} // namespace

BENCHMARK(BM_ReadCaptionDocument)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WriteCaptionDocument)->Unit(benchmark::kMicrosecond);
