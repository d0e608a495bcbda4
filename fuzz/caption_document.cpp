// Caption documents as the feed delivers them, read and presented on a small display image with
// their effects run to the end. Whatever a document asks for, drawing stays inside the image.
#include "FuzzSupport.h"
#include "GuiApplication.h"
#include "presentation/HeadlessHost.h"
#include "presentation/Presenter.h"

#include <QString>
#include <QtEndian>
#include <fuzzer/FuzzedDataProvider.h>

using FuzzSupport::require;

namespace {

// Splits the input text into the documents of one session on the feed.
constexpr char16_t DocumentSeparator = 0x1E;
constexpr int MaxDocuments = 4;
// Enough steps for the slowest effect to finish on a small image, and a bound on a run that does not.
constexpr int MaxSteps = 1500;

namespace Flag {
constexpr uint8_t Utf16 = 1 << 0; // the text is UTF-16LE, as on the feed; else UTF-8, as the caption tool reads it
constexpr uint8_t WordWrap = 1 << 1;
constexpr uint8_t AntiAliased = 1 << 2;
constexpr uint8_t Transparent = 1 << 3;
constexpr uint8_t FontOverride = 1 << 4;
} // namespace Flag

QString textOf(const std::string& bytes, bool utf16) {
    if (!utf16)
        return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    // Code units as they come, unpaired surrogates included, as the feed framer passes them on.
    QString text(qsizetype(bytes.size() / 2), Qt::Uninitialized);
    qFromLittleEndian<char16_t>(bytes.data(), text.size(), text.data());
    return text;
}

void checkDrawnInside(Presenter& presenter, QSize client) {
    require(presenter.displaySize() == client * 2, "the display image is twice the client area");
    const QRect held = presenter.displayImage().rect();
    require(held.contains(QRect(QPoint(0, 0), client)) && QRect(QPoint(0, 0), client * 2).contains(held),
            "the display image holds the quarter in view and no more than itself");
    const QRect touched = presenter.displayCanvas().touched();
    require(touched.isNull() || presenter.displayImage().rect().contains(touched),
            "everything drawn lies inside the display image");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzSupport::startInput();
    FuzzedDataProvider input(data, size);
    const auto flags = input.ConsumeIntegral<uint8_t>();
    const QSize client(input.ConsumeIntegralInRange(1, 96), input.ConsumeIntegralInRange(1, 54));

    HeadlessHost host;
    host.transparent = flags & Flag::Transparent;
    PresentationSettings& settings = host.presentationSettings;
    settings.baseFontHeight = input.ConsumeIntegralInRange(0, 120);
    settings.fontAdjustPercent = input.ConsumeIntegralInRange(10, 1000);
    settings.fontOverride = flags & Flag::FontOverride;
    settings.overrideFontName = QStringLiteral("DejaVu Sans");
    settings.overrideFontSize = settings.baseFontHeight;
    settings.wordWrap = flags & Flag::WordWrap;
    settings.antiAliased = flags & Flag::AntiAliased;

    Presenter presenter(host);
    presenter.resizeDisplay(client);
    const QStringList documents =
        textOf(input.ConsumeRemainingBytesAsString(), flags & Flag::Utf16).split(QChar(DocumentSeparator));
    for (const QString& document : documents.first(std::min<qsizetype>(documents.size(), MaxDocuments))) {
        presenter.enqueue(document);
        presenter.ShowSurtitle();
        checkDrawnInside(presenter, client);
    }
    for (int step = 0; step < MaxSteps && (presenter.effectRunning() || presenter.queuedDocuments() > 0); ++step) {
        presenter.AnimateTimerTimer();
        checkDrawnInside(presenter, client);
    }
    return 0;
}
