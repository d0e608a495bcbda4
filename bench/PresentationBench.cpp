#include "presentation/CaptionComposer.h"
#include "presentation/DisplayPainting.h"
#include "presentation/HeadlessHost.h"
#include "presentation/HtmlLabelRenderer.h"
#include "presentation/Presenter.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <utility>

using namespace Qt::Literals::StringLiterals;

// Animation steps and caption composition at full-HD and 4K clients, each set against a memcpy of
// one visible frame in the same run. A step counts with the paint that hands its picture to the
// window: what the step changed, painted onto a client-sized backing image as the window paints it.

namespace {

double memcpySecondsPerFrame(QSize client) {
    const std::size_t bytes = std::size_t(client.width()) * std::size_t(client.height()) * 4;
    std::vector<char> from(bytes, 1);
    std::vector<char> to(bytes, 0);
    constexpr int Rounds = 20;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < Rounds; ++i) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / Rounds;
}

QString plainCaption(QStringView inEffect, QStringView speed, QStringView background = u"Blue") {
    QString columns;
    for (int column = 0; column < 10; ++column)
        columns += u" Stream%1=\"The night is falling&amp;#13;&amp;#10;and the river sings\""_s.arg(column);
    return u"<Surtitles><Cue><Captions%1/><Font Colour=\"Yellow\" BackColour=\"%4\" Size=\"Medium\"/>"
           u"<Effects InEffect=\"%2\" Speed=\"%3\"/></Cue></Surtitles>"_s.arg(columns, inEffect.toString(),
                                                                              speed.toString(), background.toString());
}

// A host that gathers what the window would paint after a step: all of it when the image moves,
// otherwise the part the step changed.
class PaintingHost : public HeadlessHost {
public:
    explicit PaintingHost(QSize client) : m_client(QPoint(0, 0), client) {}

    void attach(const Presenter& presenter) { m_presenter = &presenter; }
    QRect takeArea() { return std::exchange(m_area, QRect()); }

    void setImagePosition(QPoint newPosition) override {
        if (newPosition != position)
            m_area = m_client;
        HeadlessHost::setImagePosition(newPosition);
    }
    void repaintNow() override { m_area |= m_presenter->lastStepArea().translated(position).intersected(m_client); }

private:
    QRect m_client;
    QRect m_area;
    const Presenter* m_presenter = nullptr;
};

// Steps one effect over and over: each iteration is one animation step, then the paint that shows
// it: what the step changed, painted onto a client-sized backing image as the window paints it.
void runSteps(benchmark::State& state, QSize client, QStringView inEffect, QStringView speed, QStringView background) {
    PaintingHost host(client);
    host.presentationSettings.baseFontHeight = client.width() * 2 / 56;
    Presenter presenter(host);
    host.attach(presenter);
    presenter.resizeDisplay(client);
    const QString document = plainCaption(inEffect, speed, background);
    QImage backing(client, Canvas::PixelFormat);

    using Clock = std::chrono::steady_clock;
    double stepSeconds = 0;
    double paintSeconds = 0;
    for (auto _ : state) {
        if (!presenter.effectRunning()) {
            state.PauseTiming();
            presenter.enqueue(document);
            presenter.ShowSurtitle();
            host.takeArea();
            state.ResumeTiming();
        }
        const auto start = Clock::now();
        presenter.AnimateTimerTimer();
        const auto stepped = Clock::now();
        const QRect area = host.takeArea();
        if (!area.isEmpty()) {
            QPainter painter(&backing);
            PaintDisplayImage(painter, presenter, host.position, area);
        }
        stepSeconds += std::chrono::duration<double>(stepped - start).count();
        paintSeconds += std::chrono::duration<double>(Clock::now() - stepped).count();
    }
    const double iterations = double(state.iterations());
    const double memcpySeconds = memcpySecondsPerFrame(client);
    state.counters["memcpy_frame_ms"] = memcpySeconds * 1e3;
    state.counters["step_ms"] = stepSeconds / iterations * 1e3;
    state.counters["paint_ms"] = paintSeconds / iterations * 1e3;
    state.counters["ratio_to_memcpy"] = stepSeconds / iterations / memcpySeconds;
    state.counters["ratio_with_paint"] = (stepSeconds + paintSeconds) / iterations / memcpySeconds;
}

// A fade at "Slow" on a blue background: the background colour changes at every step, the most
// work a fade step does.
void BM_FadeStep(benchmark::State& state) {
    runSteps(state, QSize(int(state.range(0)), int(state.range(1))), u"Fade", u"Slow", u"Blue");
}

// The usual surtitle: a fade on black, where a step clears only the caption it drew before.
void BM_FadeStepOnBlack(benchmark::State& state) {
    runSteps(state, QSize(int(state.range(0)), int(state.range(1))), u"Fade", u"Slow", u"Black");
}

void BM_ScrollStep(benchmark::State& state) {
    runSteps(state, QSize(int(state.range(0)), int(state.range(1))), u"Scroll Up", u"1%", u"Blue");
}

QString pictureCaptionText(QSize size) {
    QImage picture(size, QImage::Format_RGB888);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            picture.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 256));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "BMP");
    return u"#IMAGE:#"_s + QString::fromLatin1(bytes.toBase64());
}

void composeCaption(benchmark::State& state, const QString& text) {
    const QSize client(1920, 1080);
    Canvas display(client * 2);
    Canvas composition;
    HtmlLabelRenderer renderer;
    CaptionComposer composer(display, composition, renderer);
    CompositionSettings settings;
    settings.baseFontHeight = client.width() * 2 / 56;
    TCaptions caption;
    caption.FontName = u"Arial"_s;
    caption.Size = u"Medium"_s;
    caption.Effect.InEffect = u"Scroll Up"_s;
    caption.Justification = u"Center"_s;
    caption.VertJust = u"Bottom"_s;
    caption.Caption[0].Text = text;
    const QRect lowerLeft(0, client.height(), client.width(), client.height());
    const TextStyle style{CanvasFont(), Canvas::White};
    for (auto _ : state) {
        display.fill(lowerLeft, style.background);
        composer.ShowSurtitlesOnCanvas(caption, lowerLeft, style, 0, 255, settings);
    }
    state.counters["memcpy_frame_ms"] = memcpySecondsPerFrame(client) * 1e3;
}

void BM_ComposeHtmlCaption(benchmark::State& state) {
    composeCaption(state, u"<html><b>The night</b> is <i>falling</i><br>"
                          u"<FONT COLOR=\"#FF8000\">and the river</FONT> sings,<br>"
                          u"but you, <u>my love</u>, are far away</html>"_s);
}

void BM_ComposePictureCaption(benchmark::State& state) {
    composeCaption(state, pictureCaptionText(QSize(1280, 720)));
}

// Peak resident memory of the caption tool rendering a fade of a formatted caption and then a
// picture caption, as a child process of its own.
void BM_RenderPeakMemory(benchmark::State& state) {
    const QSize client(int(state.range(0)), int(state.range(1)));
    QTemporaryDir directory;
    QFile input(directory.filePath(u"captions.txt"_s));
    input.open(QIODevice::WriteOnly);
    input.write(plainCaption(u"Fade", u"Fast").toUtf8() + '\n');
    const QString picture = pictureCaptionText(QSize(1280, 720));
    input.write(u"<Surtitles><Cue><Captions Stream0=\"%1\" StrName0=\"x\"/><Language Name=\"x\"/>"
                u"<Effects InEffect=\"Fade\" Speed=\"Fast\"/></Cue></Surtitles>\n"_s.arg(picture)
                    .toUtf8());
    input.close();

    long peakKilobytes = 0;
    const QByteArray tool = QByteArray(VELTRINOX_CAPTION_TOOL);
    const QByteArray clientText = u"%1x%2"_s.arg(client.width()).arg(client.height()).toUtf8();
    const QByteArray output = directory.filePath(u"out.png"_s).toUtf8();
    const QByteArray inputPath = input.fileName().toUtf8();
    for (auto _ : state) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, inputPath.constData(), O_RDONLY, 0);
        const char* argv[] = {tool.constData(),   "render", "--client", clientText.constData(), "-o",
                              output.constData(), nullptr};
        pid_t pid = 0;
        const int spawned = posix_spawn(&pid, tool.constData(), &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        rusage usage{};
        if (spawned != 0 || ::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the render run failed");
            return;
        }
        peakKilobytes = usage.ru_maxrss;
    }
    state.counters["peak_rss_MB"] = double(peakKilobytes) / 1024.0;
}

} // namespace

// The memory runs come first: a spawned child's peak counts the memory of the process it was spawned
// from, which must still be small then.
BENCHMARK(BM_RenderPeakMemory)->Args({1920, 1080})->Args({3840, 2160})->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FadeStep)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FadeStepOnBlack)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollStep)->Args({1920, 1080})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComposeHtmlCaption)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComposePictureCaption)->Unit(benchmark::kMillisecond);

// The presentation draws with real fonts: the benchmarks run in a GUI application on the
// offscreen platform.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
