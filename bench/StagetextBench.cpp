#include "captions/CaptionDocumentWriter.h"
#include "net/StagetextConversion.h"

#include <benchmark/benchmark.h>

using namespace Qt::Literals::StringLiterals;

// A typical Stagetext caption: brightness and centring commands, two lines with a note sign, and
// a rate command at the end.

namespace {

// Written as separate literals so that no hexadecimal escape runs into the letter after it.
const QString TypicalString = u"\x0b"
                              u"BD"
                              u"\x0b"
                              u"Y"
                              u"The river sings, ^my love^,\r\n"
                              u"but you are still so far away.\r"
                              u"\x0b"
                              u"RB"_s;

StagetextSettings typicalSettings() {
    StagetextSettings settings;
    settings.baseFontHeight = 48;
    settings.fontColourSetting = u"$00FFFF"_s;
    return settings;
}

void BM_CaptionFromStagetext(benchmark::State& state) {
    const StagetextSettings settings = typicalSettings();
    StagetextConverter converter;
    state.counters["string_units"] = double(TypicalString.size());
    for (auto _ : state) {
        TCaptions caption = converter.CaptionFromStagetext(TypicalString, settings);
        benchmark::DoNotOptimize(caption);
    }
}

// Writing the converted caption as a document; each column text is first looked up as a file name.
void BM_StagetextCaptiontoXML(benchmark::State& state) {
    StagetextConverter converter;
    const TCaptions caption = converter.CaptionFromStagetext(TypicalString, typicalSettings());
    for (auto _ : state) {
        CaptionDocumentText document = CaptiontoXML(caption);
        benchmark::DoNotOptimize(document);
    }
}

} // namespace

BENCHMARK(BM_CaptionFromStagetext)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StagetextCaptiontoXML)->Unit(benchmark::kMicrosecond);
