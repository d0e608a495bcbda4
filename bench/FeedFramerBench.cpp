#include "SampleCaptions.h"
#include "captions/CaptionDocumentWriter.h"
#include "net/FeedFramer.h"

#include <QByteArray>
#include <QStringList>
#include <QtEndian>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstring>
#include <ctime>

using namespace Qt::Literals::StringLiterals;

// Framing throughput of the caption feed, set against memchr over the same bytes: memchr reads the
// stream once and looks at every byte, which is the least any framing can do.

namespace {

constexpr qsizetype StreamBytes = 64 * 1024 * 1024;
constexpr qsizetype ReadBytes = 20000; // one socket read of the caption feed
constexpr int AbsentByte = 0xFF;       // in none of the streams: memchr has to read them to the end

struct FeedStream {
    QByteArray bytes;        // UTF-16LE, StreamBytes long
    qsizetype documents = 0; // complete documents in the stream
    const char* error = nullptr;
};

void appendUtf16Le(QByteArray& bytes, QStringView text) {
    const qsizetype at = bytes.size();
    bytes.resize(at + 2 * text.size());
    qToLittleEndian<char16_t>(text.utf16(), text.size(), bytes.data() + at);
}

const void* findAbsentByte(const QByteArray& bytes) {
    return std::memchr(bytes.constData(), AbsentByte, std::size_t(bytes.size()));
}

// CPU time, as the benchmark library reports it, so that other load on the machine stays out of the ratio.
double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// The pieces one after another, round and round, for as long as a whole piece fits; then spaces,
// which the framer drops as text outside documents.
FeedStream repeatedStream(const QStringList& pieces, bool piecesAreDocuments) {
    FeedStream stream;
    stream.bytes.reserve(StreamBytes);
    for (qsizetype i = 0;; ++i) {
        const QString& piece = pieces[i % pieces.size()];
        if (stream.bytes.size() + 2 * piece.size() > StreamBytes)
            break;
        appendUtf16Le(stream.bytes, piece);
        if (piecesAreDocuments)
            ++stream.documents;
    }
    appendUtf16Le(stream.bytes, QString((StreamBytes - stream.bytes.size()) / 2, u' '));
    if (findAbsentByte(stream.bytes) != nullptr)
        stream.error = "the stream contains memchr's search byte";
    return stream;
}

// Back-to-back documents, each one cue with ten columns as the display writes it.
const FeedStream& documentStream() {
    static const FeedStream stream = [] {
        QStringList documents;
        for (int cue = 1; cue <= 100; ++cue) {
            CaptionDocumentText document = CaptiontoXML(SampleCaption(cue));
            if (!document.ok()) {
                FeedStream failed;
                failed.error = "a sample caption could not be written";
                return failed;
            }
            documents.append(std::move(document.text));
        }
        return repeatedStream(documents, true);
    }();
    return stream;
}

// Text without a single '<': the framer has nothing to find.
const FeedStream& proseStream() {
    static const FeedStream stream = repeatedStream(
        {u"The curtain rises on a riverbank at dusk. Elena waits by the ferry, a letter in her hand that she "
         u"has read a hundred times; the boatman sings of the far shore while the chorus of villagers, "
         u"returning from the vineyards, teases her about the soldier who promised to come back before the "
         u"harvest. Night falls, and the river answers with the first bars of the duet. "_s},
        false);
    return stream;
}

// Text with a '<' now and then that starts no tag, as in notes on tempo and dynamics.
const FeedStream& proseWithLessThanStream() {
    static const FeedStream stream = repeatedStream(
        {u"Bars 12 to 40: the tempo stays < 60 until the harp enters, and the chorus keeps its volume < mf so "
         u"that Elena's line carries over the orchestra. When the boatman sings (bars 41 < n < 58) the "
         u"strings drop out; cue the surtitle change on the downbeat after the fermata, not before it. "_s},
        false);
    return stream;
}

using StreamSource = const FeedStream& (*)();

void BM_FrameFeed(benchmark::State& state, StreamSource source) {
    const FeedStream& stream = source();
    if (stream.error != nullptr) {
        state.SkipWithError(stream.error);
        return;
    }
    const char* const data = stream.bytes.constData();
    const qsizetype size = stream.bytes.size();

    // Each framing pass is paired with a memchr pass over the same bytes, outside the timed part; the
    // two take turns, so both find the stream equally warm and the machine in the same state.
    double memchrSeconds = 0;
    double framingSeconds = 0;
    qsizetype documents = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const double memchrStart = threadCpuSeconds();
        benchmark::DoNotOptimize(findAbsentByte(stream.bytes));
        memchrSeconds += threadCpuSeconds() - memchrStart;
        state.ResumeTiming();

        const double framingStart = threadCpuSeconds();
        FeedFramer framer;
        for (qsizetype at = 0; at < size; at += ReadBytes) {
            FeedFramer::Result result = framer.receive(QByteArrayView(data + at, std::min(ReadBytes, size - at)));
            documents += result.documents.size();
            benchmark::DoNotOptimize(result);
        }
        framingSeconds += threadCpuSeconds() - framingStart;
    }
    if (documents != stream.documents * state.iterations()) {
        state.SkipWithError("the framer did not find every document in the stream");
        return;
    }
    state.SetBytesProcessed(state.iterations() * size);
    state.counters["documents"] = double(stream.documents);
    state.counters["memchr_bytes_per_second"] =
        benchmark::Counter(double(size) * double(state.iterations()) / memchrSeconds, benchmark::Counter::kDefaults,
                           benchmark::Counter::kIs1024);
    state.counters["ratio_to_memchr"] = memchrSeconds / framingSeconds;
}

void BM_Memchr(benchmark::State& state, StreamSource source) {
    const FeedStream& stream = source();
    if (stream.error != nullptr) {
        state.SkipWithError(stream.error);
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(findAbsentByte(stream.bytes));
    state.SetBytesProcessed(state.iterations() * stream.bytes.size());
}

} // namespace

BENCHMARK_CAPTURE(BM_FrameFeed, documents, &documentStream)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Memchr, documents, &documentStream)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FrameFeed, prose, &proseStream)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Memchr, prose, &proseStream)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FrameFeed, prose_with_less_than, &proseWithLessThanStream)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Memchr, prose_with_less_than, &proseWithLessThanStream)->Unit(benchmark::kMillisecond);
