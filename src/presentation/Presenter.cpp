#include "Presenter.h"

#include "ColourBlend.h"
#include "DisplayColour.h"
#include "PixelPasses.h"
#include "captions/CaptionWords.h"
#include "captions/IntegerPrefix.h"
#include "captions/Vocabularies.h"

#include <QRegion>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {

using State = Presenter::AnimationState;

constexpr int BaseFontDivisor = 56;

// The overall brightness percentage, anything outside 0..100 counting as 100.
int overallPercentage(const QString& overallBrightness) {
    const int percent = IntegerPrefix(overallBrightness);
    return percent < 0 || percent > 100 ? 100 : percent;
}

// The colours a caption is drawn in: its text's (yellow where the word is none) and its background's
// (black likewise).
ColourValue fontColourOf(const TCaptions& caption) {
    return PlainColour(StringToColour(caption.Colour, Colour::Yellow));
}

ColourValue backColourOf(const TCaptions& caption) {
    return PlainColour(StringToColour(caption.BackColour, Colour::Black));
}

// A caption that leaves its colours empty fades out as black: "0" stands in for each.
void blackWhereColourless(TCaptions& caption) {
    if (caption.Colour.isEmpty())
        caption.Colour = u"0"_s;
    if (caption.BackColour.isEmpty())
        caption.BackColour = u"0"_s;
}

} // namespace

Presenter::Presenter(PresentationHost& host, Redraw redraw)
    : m_host(host), m_redraw(redraw), m_composer(m_display, m_composition, m_renderer) {
    // The display starts black, the caption background every new caption fades from.
    m_display.fillAll(m_clearColour);
}

const QImage& Presenter::displayImage() const {
    settleView();
    return m_display.image();
}

Canvas& Presenter::displayCanvas() {
    settleView();
    m_viewFill.reset();
    ++m_keptFadeGeneration; // what is drawn on it may cover the kept caption
    return m_display;
}

void Presenter::resizeDisplay(QSize clientSize) {
    settleView();
    applyDeferredFill();
    m_viewFill.reset();
    ++m_keptFadeGeneration;
    m_display.resize(clientSize * 2, m_clearColour, holding(EffectState, clientSize * 2));
}

QRgb Presenter::bottomLeftPixel() const {
    return m_display.heldPixel(QPoint(0, m_display.height() - 1)).value_or(qRgb(0, 0, 0));
}

CanvasHolding Presenter::holding(AnimationState state, QSize displaySize) const {
    if (m_redraw == Redraw::Whole)
        return {}; // all of it, always
    const QSize view = displaySize / 2;
    QSize part = view;
    // The effect runs while EffectRunning is set, and a scroll that stopped short leaves the image
    // where it stood: the part held then stays as it was.
    if (state == State::ScrollUp || state == State::ScrollDown)
        part = QSize(view.width(), displaySize.height());
    else if (state == State::ScrollLeft || state == State::ScrollRight)
        part = QSize(displaySize.width(), view.height());
    if (m_host.imagePosition() != QPoint(0, 0))
        part = part.expandedTo(m_display.image().size());
    // The bottom-left pixel is the key colour; a scroll left's end brings it from the lower right.
    return {part, {QPoint(0, displaySize.height() - 1), QPoint(view.width(), displaySize.height() - 1)}};
}

void Presenter::holdFor(AnimationState state) {
    m_display.hold(holding(state, m_display.size()), m_deferredFill.value_or(m_clearColour));
    if (state == State::Idle)
        m_display.trimTextCaches();
}

void Presenter::releaseEffectBuffers() {
    m_keptFade.reset();
    m_fadingOut.picture = QImage();
    m_composer.releaseBuffers(m_shown.caption);
}

void Presenter::redrawShown() {
    if (m_pace.EffectRunning || m_shown.caption == TCaptions())
        return;
    const PresentationSettings settings = m_host.settings();
    // Lines rolled up before the last one have no record: the last one is drawn at the top.
    const TCaptions& caption = m_shown.caption;
    clear(upperLeft(), backColourOf(caption));
    m_viewFill.reset();
    useCaptionFont(caption, fontColourOf(caption), settings);
    // Full strength: an opaque caption in transparent mode, no step toward black outside it.
    compose(caption, upperLeft(), m_host.transparentMode() ? 255 : 0, captionBrightness(caption), settings);
}

int Presenter::baseFontHeight(std::optional<int> fixed) const {
    return fixed.value_or(m_display.width() / BaseFontDivisor);
}

void Presenter::setDisplayFont(const QString& name, int pointSize) {
    m_font.name = name;
    m_font.pointSize = pointSize;
}

void Presenter::clear(const QRect& area, ColourValue colour) {
    m_clearColour = colour;
    m_display.fill(area, colour);
}

void Presenter::fillForFade(ColourValue colour, DrawnArea drawn) {
    // A fade step clears the whole display image, but only the quarter in view changes what is
    // seen: while the image lies at (0, 0) the rest is cleared once, before anything shows or reads
    // it (a scroll's set-up), not at every step. And when the view is already of this colour but for
    // what the last step drew, only that is cleared: a fade on black clears the caption alone.
    //
    // Nor is the rest of the view written at every step, when the colour changes: a window paints
    // the view as the colour around what was drawn (plainView), and the image takes the colour when
    // something reads it. Only what the last composition drew is cleared, which is where a fade's
    // caption draws again.
    m_clearColour = colour;
    if (m_redraw == Redraw::Whole || m_host.imagePosition() != QPoint(0, 0)) {
        m_display.fillAll(colour);
        m_stepArea = m_display.image().rect();
        m_deferredFill.reset();
        m_viewFill.reset();
        m_viewCleared = upperLeft();
        m_viewOwed = false;
        return;
    }
    m_viewCleared = m_viewDrawn.intersected(upperLeft());
    m_stepArea = m_viewFill == colour ? m_viewCleared : upperLeft();
    // What is written over changes only where it changes; the rest of the view only when its colour does.
    if (drawn == DrawnArea::Overwritten)
        m_stepArea = m_viewFill == colour || m_viewDrawn.contains(upperLeft()) ? QRect() : upperLeft();
    m_viewOwed = m_viewOwed || m_viewFill != colour;
    if (drawn == DrawnArea::Cleared)
        m_display.fill(m_viewCleared, colour);
    // The window keys a background picture on the image's bottom-left pixel, which it reads at every
    // step (and repaints whole when it changes).
    m_display.fill(QRect(0, m_display.height() - 1, 1, 1), colour);
    m_deferredFill = colour;
    m_viewFill = colour;
}

std::optional<Presenter::PlainView> Presenter::plainView() const {
    if (!m_viewFill || m_host.imagePosition() != QPoint(0, 0))
        return std::nullopt;
    return PlainView{DisplayRgb(*m_viewFill), m_viewDrawn.intersected(upperLeft()), &m_display.image()};
}

void Presenter::settleView() const {
    if (!m_viewOwed)
        return;
    m_viewOwed = false;
    for (const QRect& part : QRegion(upperLeft()).subtracted(m_viewDrawn))
        m_display.fill(part, *m_viewFill);
}

CaptionComposer::Result Presenter::composeInView(const TCaptions& caption, int alpha, int brightness,
                                                 const PresentationSettings& settings) {
    CaptionComposer::Result result = compose(caption, upperLeft(), alpha, brightness, settings);
    const QRect reached = m_viewDrawn.intersected(upperLeft());
    if (!m_viewOwed || reached.isEmpty() || m_viewCleared.contains(reached))
        return result;
    // The caption reached where the view still held an older picture, which its glyphs may have
    // blended with (a new caption's first step): the view is cleared whole and the caption drawn again.
    m_viewOwed = false;
    m_display.fill(upperLeft(), *m_viewFill);
    m_viewCleared = upperLeft();
    return compose(caption, upperLeft(), alpha, brightness, settings);
}

const FadeCoverage* Presenter::keptCoverage(const CompositionSettings& composition, int brightness) const {
    if (keptFadeStale() || !m_keptFade->coverage || m_redraw == Redraw::Whole ||
        m_host.imagePosition() != QPoint(0, 0) || m_keptFade->composition != composition ||
        m_keptFade->brightness != brightness)
        return nullptr;
    return &*m_keptFade->coverage;
}

bool Presenter::recordingFade() const {
    return keptFadeStale() || (m_keptFade->recording && !m_keptFade->coverage);
}

void Presenter::composeAndRecord(const FadingCaption& fading, int alpha, int brightness,
                                 const PresentationSettings& settings) {
    if (keptFadeStale()) {
        // The first step only finds out what the caption is: plain text is drawn from its glyph
        // stamps about as fast as from a record, which would cost more to make than it saves.
        m_keptFade =
            KeptFade{m_keptFadeGeneration, compositionSettings(settings), brightness, std::nullopt, std::nullopt, true};
        m_keptFade->recording = !composeInView(fading.caption, alpha, brightness, settings).plainText;
        return;
    }
    KeptFade& kept = *m_keptFade;
    if (m_redraw == Redraw::Whole || m_host.imagePosition() != QPoint(0, 0) || !m_viewFill ||
        kept.composition != compositionSettings(settings) || kept.brightness != brightness) {
        kept.recording = false;
        composeInView(fading.caption, alpha, brightness, settings);
        return;
    }
    // Whatever the composition leaves alone within what it touched is background, as the clearing
    // before it (and composeInView, where the caption reached further) makes sure.
    const QRgb font = DisplayRgb(m_font.colour);
    const QRgb background = DisplayRgb(*m_viewFill);
    CoverageRecorder recorder(upperLeft(), font, background, alpha, brightness);
    m_display.setRecorder(&recorder);
    composeInView(fading.caption, alpha, brightness, settings);
    m_display.setRecorder(nullptr);
    std::optional<FadeCoverage> recorded = recorder.finish(m_viewDrawn);
    if (!recorded) {
        kept.recording = false;
    } else if (!kept.first) {
        kept.first = std::move(recorded);
    } else if (*kept.first != *recorded) {
        kept.recording = false;
    } else {
        const FadeCoverage::Constancy constancy{m_host.transparentMode() || fading.fontColour == Colour::Black,
                                                fading.backColour == Colour::Black};
        recorded->keepChanging(constancy, font, background);
        kept.coverage = std::move(recorded);
    }
    if (!kept.recording || kept.coverage)
        kept.first.reset();
}

void Presenter::applyDeferredFill() {
    if (!m_deferredFill)
        return;
    m_display.fill(QRect(width2(), 0, m_display.width() - width2(), height2()), *m_deferredFill);
    m_display.fill(QRect(0, height2(), m_display.width(), m_display.height() - height2()), *m_deferredFill);
    m_deferredFill.reset();
}

FontSizeSettings Presenter::fontSizeSettings(const PresentationSettings& settings) {
    return {settings.fontAdjustPercent, settings.fontOverride, settings.overrideFontSize};
}

int Presenter::captionFontSize(const TCaptions& caption, const PresentationSettings& settings) {
    return FontSizeFromString(settings.baseFontHeight, caption.Size, fontSizeSettings(settings));
}

CompositionSettings Presenter::compositionSettings(const PresentationSettings& settings) const {
    CompositionSettings composition;
    composition.baseFontHeight = settings.baseFontHeight;
    composition.fontSize = fontSizeSettings(settings);
    composition.antiAliased = settings.antiAliased;
    composition.wordWrap = settings.wordWrap;
    composition.transparentMode = m_host.transparentMode();
    return composition;
}

int Presenter::captionBrightness(const TCaptions& caption) const {
    return overallPercentage(m_records.overallBrightness) * BrightnessFromString(caption.Brightness) / 100;
}

void Presenter::ShowSurtitle() {
    if (m_host.borderHidingPending())
        m_host.hideBorderNow();
    std::optional<QString> document = takeNextDocument();
    if (!document)
        return;
    PresentedDocument presented;
    presented.characters = document->size();
    const std::optional<QString> languageName = ReadCaptionDocument(*document, m_records);
    if (!languageName) {
        report(presented);
        return;
    }

    const PresentationSettings settings = m_host.settings();
    TCaptions& current = m_records.current;
    if (settings.fontOverride) {
        current.FontName = settings.overrideFontName;
        current.Size = QString::number(settings.overrideFontSize);
    }
    current.LanguageIndex = ShownColumn(current, *languageName);
    const QString& text = current.Caption[std::size_t(current.LanguageIndex)].Text;
    presented.parsed = true;
    presented.cue = current.Cue;
    presented.column = current.LanguageIndex;
    presented.language = current.Caption[std::size_t(current.LanguageIndex)].Language;
    presented.textCharacters = text.size();
    presented.textStart = text.first(std::min(text.size(), PresentedDocument::TextStartLength));
    if (const std::optional<SpecialText> special = SpecialTextFromString(text)) {
        presented.specialText = SpecialTextToString(*special);
        applySpecialText(*special, current);
    }
    presented.entryEffect = current.Effect.InEffect;
    report(presented);
    if (text.isEmpty())
        warn(u"the chosen column %1 of cue \"%2\" is empty: the caption shows blank"_s.arg(current.LanguageIndex)
                 .arg(current.Cue));

    const std::optional<EntryEffect> entry = entryEffectOf(current);
    m_fontColourValue = fontColourOf(current);
    m_backColourValue = backColourOf(current);
    if (entry && entry != EntryEffect::Ignore)
        setUpEffect(*entry, settings);
    if (entry != EntryEffect::Ignore)
        m_pace.TickReload = 1;
}

std::optional<QString> Presenter::takeNextDocument() {
    // Empty entries are dropped, and never let a document past a running effect.
    while (!m_queue.empty() && m_queue.front().isEmpty())
        m_queue.pop_front();
    if (m_queue.empty() || m_pace.EffectRunning)
        return std::nullopt;
    QString document = std::move(m_queue.front());
    m_queue.pop_front();
    return document;
}

void Presenter::applySpecialText(SpecialText special, TCaptions& caption) const {
    QString& text = caption.Caption[std::size_t(caption.LanguageIndex)].Text;
    switch (special) {
    case SpecialText::Blank:
        caption.Effect.InEffect = EntryEffectToString(EntryEffect::Instant);
        text = u" "_s;
        break;
    case SpecialText::Clear:
        caption.Effect.InEffect = EntryEffectToString(EntryEffect::ScrollUp);
        caption.Effect.Speed = m_host.stagetextSpeed();
        text = u" "_s;
        break;
    case SpecialText::Empty:
        caption.Effect.InEffect = EntryEffectToString(EntryEffect::Ignore);
        break;
    }
}

std::optional<EntryEffect> Presenter::entryEffectOf(TCaptions& caption) {
    std::optional<EntryEffect> entry = EntryEffectFromString(caption.Effect.InEffect);
    // A roll-up places its lines from the top; an instant caption is a fade of one tick.
    if (entry == EntryEffect::RollUp)
        caption.VertJust = VerticalJustificationToString(VerticalJustification::Top);
    if (entry == EntryEffect::Instant) {
        entry = EntryEffect::Fade;
        caption.Effect.InEffect = EntryEffectToString(EntryEffect::Fade);
        caption.Effect.Speed = InstantSpeed.toString();
    }
    return entry;
}

void Presenter::report(const PresentedDocument& document) const {
    if (m_events)
        m_events->documentPresented(document);
}

void Presenter::warn(const QString& message) const {
    if (m_events)
        m_events->presentationWarning(message);
}

void Presenter::rememberShown(EntryEffect entry) {
    const bool clearsToBlack =
        entry == EntryEffect::ScrollDown || entry == EntryEffect::ScrollLeft || entry == EntryEffect::ScrollRight;
    m_shown = {m_records.current, entry == EntryEffect::RollUp, QImage()};
    if (clearsToBlack)
        m_shown.caption.BackColour = u"0"_s;
    if (m_shownObserver)
        m_shownObserver->captionShown({m_shown.caption, m_records.overallBrightness});
}

void Presenter::restoreShown(const ShownCaption& shown) {
    m_records.current = shown.caption;
    m_records.previous = shown.caption;
    m_records.overallBrightness = shown.overallBrightness;
    m_fontColourValue = fontColourOf(shown.caption);
    m_backColourValue = backColourOf(shown.caption);
    // Lines rolled up before the last one have no record: the last one is drawn at the top.
    m_shown = {shown.caption, false, QImage()};
    startEffect(State::FadeIn, BrightEffectSpeedFromString(InstantSpeed));
    m_pace.TickReload = 1;
}

void Presenter::setUpEffect(EntryEffect entry, const PresentationSettings& settings) {
    settleView(); // a scroll shows the view and copies from it, a fade-out may keep its picture
    const TEffect& effect = m_records.current.Effect;
    const bool fadesOut = entry == EntryEffect::Fade && effect.Speed != InstantSpeed;
    if (fadesOut) {
        m_fadingOut = m_shown;
        if (m_fadingOut.pictureInView)
            m_fadingOut.picture = m_display.image().copy(upperLeft());
    }
    rememberShown(entry);
    if (entry != EntryEffect::Fade) {
        const State scroll = entry == EntryEffect::ScrollDown    ? State::ScrollDown
                             : entry == EntryEffect::ScrollLeft  ? State::ScrollLeft
                             : entry == EntryEffect::ScrollRight ? State::ScrollRight
                                                                 : State::ScrollUp;
        if (entry != EntryEffect::Instant && entry != EntryEffect::Ignore)
            holdFor(scroll);
        applyDeferredFill(); // the scrolls show and copy the parts outside the view
        m_viewFill.reset();
    }
    switch (entry) {
    case EntryEffect::Fade:
        startEffect(fadesOut ? State::FadeOut : State::FadeIn, BrightEffectSpeedFromString(effect.Speed));
        break;
    case EntryEffect::ScrollUp:
    case EntryEffect::RollUp:
        scrollUpSetUp(entry == EntryEffect::RollUp, settings);
        startEffect(State::ScrollUp, EffectSpeedFromString(effect.Speed));
        break;
    case EntryEffect::ScrollDown:
        scrollDownSetUp(settings);
        startEffect(State::ScrollDown, EffectSpeedFromString(effect.Speed));
        break;
    case EntryEffect::ScrollLeft:
        scrollLeftSetUp(settings);
        startEffect(State::ScrollLeft, EffectSpeedFromString(effect.Speed));
        break;
    case EntryEffect::ScrollRight:
        scrollRightSetUp(settings);
        startEffect(State::ScrollRight, EffectSpeedFromString(effect.Speed));
        break;
    case EntryEffect::Instant: // read as a fade at the instant speed
    case EntryEffect::Ignore:
        break;
    }
}

void Presenter::startEffect(AnimationState state, int speed) {
    ++m_keptFadeGeneration;
    EffectState = state;
    EffectSpeed = speed;
    EffectStep = FullProgress;
    m_pace.EffectRunning = true;
}

void Presenter::useCaptionFont(const TCaptions& caption, ColourValue colour, const PresentationSettings& settings) {
    m_font.pointSize = captionFontSize(caption, settings);
    m_font.colour = colour;
    m_font.name = caption.FontName;
}

CaptionComposer::Result Presenter::compose(const TCaptions& caption, const QRect& area, int alpha, int brightness,
                                           const PresentationSettings& settings) {
    const CompositionSettings composition = compositionSettings(settings);
    m_font = CaptionDisplayFont(caption, m_font, composition); // as it is drawn, which the status reports
    m_display.resetTouched();
    const CaptionComposer::Result result =
        m_composer.ShowSurtitlesOnCanvas(caption, area, {m_font, m_clearColour}, alpha, brightness, composition);
    m_viewDrawn = m_display.touched();
    m_stepArea |= m_viewDrawn;
    if (const std::optional<QString> refusal = m_composer.takePictureRefusal())
        warn(u"the picture of cue \"%1\" was refused: %2"_s.arg(caption.Cue, *refusal));
    if (result.scrollDistance)
        ScrollDistance = *result.scrollDistance;
    return result;
}

void Presenter::scrollUpSetUp(bool rollUp, const PresentationSettings& settings) {
    const TCaptions& current = m_records.current;
    QRect area(0, height2(), width2(), height2());
    clear(area, m_backColourValue);
    useCaptionFont(current, m_fontColourValue, settings);
    if (rollUp) {
        // The caption lines sit one gap below the top, as lines sit in a full display.
        area.setTop(area.top() + LineGap(height2(), std::max(1, Canvas::textHeight(m_font))));
    }
    compose(current, area, 0, captionBrightness(current), settings);
}

void Presenter::scrollDownSetUp(const PresentationSettings& settings) {
    m_display.copy(QRect(0, height2(), width2(), height2()), m_display.image(), upperLeft());
    m_host.setImagePosition(QPoint(0, -height2()));
    clear(upperLeft(), Colour::Black);
    useCaptionFont(m_records.current, m_fontColourValue, settings);
    compose(m_records.current, upperLeft(), 0, captionBrightness(m_records.current), settings);
    ScrollDistance = height2();
}

void Presenter::scrollLeftSetUp(const PresentationSettings& settings) {
    const QRect upperRight(width2(), 0, m_display.width() - width2(), height2());
    clear(upperRight, Colour::Black);
    useCaptionFont(m_records.current, m_fontColourValue, settings);
    compose(m_records.current, upperRight, 0, captionBrightness(m_records.current), settings);
    ScrollDistance = upperRight.width();
}

void Presenter::scrollRightSetUp(const PresentationSettings& settings) {
    const QRect leftHalf(0, 0, width2(), m_display.height());
    m_display.copy(QRect(width2(), 0, width2(), m_display.height()), m_display.image(), leftHalf);
    m_host.setImagePosition(QPoint(-width2(), 0));
    clear(leftHalf, Colour::Black);
    useCaptionFont(m_records.current, m_fontColourValue, settings);
    compose(m_records.current, upperLeft(), 0, captionBrightness(m_records.current), settings);
    ScrollDistance = width2();
}

void Presenter::AnimateTimerTimer() {
    blackWhereColourless(m_records.previous);
    m_host.setStayOnTop();

    if (EffectState == State::Idle)
        ShowSurtitle();

    switch (EffectState) {
    case State::FadeIn:
    case State::FadeOut:
        fadeStep();
        break;
    case State::ScrollUp:
    case State::ScrollDown:
    case State::ScrollLeft:
    case State::ScrollRight:
        scrollStep();
        break;
    default:
        break;
    }
}

void Presenter::advance(int floor) {
    EffectStep = std::max(0, EffectStep - EffectSpeed);
    if (EffectSpeed < floor)
        EffectSpeed = 1;
}

int Presenter::fadeLevel() const {
    return int(std::trunc(EffectStep * 255 / double(FullProgress)));
}

Presenter::FadingCaption Presenter::fadingCaption() {
    if (EffectState == State::FadeIn)
        return {m_records.current, m_fontColourValue, m_backColourValue, nullptr};
    TCaptions& previous = m_fadingOut.caption;
    blackWhereColourless(previous);
    return {previous, fontColourOf(previous), backColourOf(previous),
            m_fadingOut.pictureInView ? &m_fadingOut.picture : nullptr};
}

void Presenter::fadeStep() {
    const PresentationSettings settings = m_host.settings();
    const bool fadingIn = EffectState == State::FadeIn;
    const FadingCaption fading = fadingCaption();
    advance(1);
    // How far the caption's colours are from their full strength toward black, in steps and as a
    // level 0..255: a fade in comes from black, a fade out goes to it.
    const int towardBlack = fadingIn ? EffectStep : FullProgress - EffectStep;
    const int darkness = fadingIn ? fadeLevel() : 255 - fadeLevel();

    const ColourValue background = ColourBlend(fading.backColour, Colour::Black, towardBlack);
    // In transparent mode the window's alpha fades the caption, which keeps its full colours.
    const bool transparent = m_host.transparentMode();
    useCaptionFont(fading.caption,
                   transparent ? fading.fontColour : ColourBlend(fading.fontColour, Colour::Black, towardBlack),
                   settings);
    const int alpha = transparent ? 255 - darkness : darkness;
    m_host.setWindowAlpha(alpha);
    const CompositionSettings composition = compositionSettings(settings);
    const int brightness = captionBrightness(fading.caption);
    if (const FadeCoverage* coverage = fading.picture ? nullptr : keptCoverage(composition, brightness)) {
        // The caption as its first steps drew it, in this step's colours: what composing it would draw.
        fillForFade(background, DrawnArea::Overwritten);
        m_font = CaptionDisplayFont(fading.caption, m_font, composition);
        coverage->apply(m_display.image(), DisplayRgb(m_font.colour), DisplayRgb(background), alpha, brightness);
        m_stepArea |= coverage->changing;
        m_host.repaintNow();
        if (EffectStep == 0)
            finishFade();
        return;
    }
    fillForFade(background);
    if (fading.picture) {
        // The lines rolled up into view have no one record: their picture fades as their colours would.
        const QRect area = upperLeft().intersected(fading.picture->rect());
        m_display.copy(area, *fading.picture, area);
        if (!transparent)
            BlendPixelsToBlack(m_display.image(), area, towardBlack);
        m_viewDrawn = area;
    } else if (recordingFade()) {
        composeAndRecord(fading, alpha, brightness, settings);
    } else {
        composeInView(fading.caption, alpha, brightness, settings);
    }
    m_host.repaintNow();

    if (EffectStep == 0)
        finishFade();
}

void Presenter::finishFade() {
    m_keptFade.reset(); // what the next half draws is another caption
    m_fadingOut.picture = QImage();
    if (EffectState == State::FadeOut) {
        EffectState = State::FadeIn; // the caption that waited for the fade out now fades in
        ++m_keptFadeGeneration;
    } else {
        m_pace.EffectRunning = false;
        EffectState = State::Idle;
        releaseEffectBuffers();
        holdFor(State::Idle);
        if (!m_queue.empty())
            ShowSurtitle();
    }
    EffectStep = FullProgress;
}

void Presenter::finishEffectNow() {
    switch (EffectState) {
    case State::FadeIn:
    case State::FadeOut:
        EffectState = State::FadeIn;
        finishFade();
        break;
    case State::ScrollUp:
    case State::ScrollDown:
    case State::ScrollLeft:
    case State::ScrollRight:
        finishEffect();
        break;
    case State::Idle:
        break;
    }
}

void Presenter::scrollStep() {
    m_host.setWindowAlpha(255);
    const int floor = EffectState == State::ScrollUp ? 1 : 5;
    advance(floor);
    const double progress = EffectStep / double(FullProgress);
    switch (EffectState) {
    case State::ScrollUp:
        m_host.setImagePosition(QPoint(m_host.imagePosition().x(), -int(std::trunc((1 - progress) * ScrollDistance))));
        break;
    case State::ScrollDown:
        m_host.setImagePosition(
            QPoint(m_host.imagePosition().x(), -int(std::trunc(double(ScrollDistance) * EffectStep / FullProgress))));
        break;
    case State::ScrollLeft:
        m_host.setImagePosition(
            QPoint(int(std::trunc(double(ScrollDistance) * EffectStep / FullProgress)) - ScrollDistance, 0));
        break;
    case State::ScrollRight:
        m_host.setImagePosition(QPoint(-int(std::trunc(double(ScrollDistance) * EffectStep / FullProgress)), 0));
        break;
    default: // the fades have steps of their own
        break;
    }
    if (EffectStep == 0)
        finishEffect();
}

void Presenter::finishEffect() {
    const AnimationState state = EffectState;
    m_viewFill.reset(); // the scroll's picture is in view now
    m_pace.EffectRunning = false;
    EffectState = State::Idle;
    if (state == State::ScrollUp) {
        // The picture that scrolled into view becomes the upper-left quarter.
        const QRect from(0, ScrollDistance, m_display.width(), height2());
        m_display.copy(QRect(0, 0, m_display.width(), height2()), m_display.image(), from);
        m_host.setImagePosition(QPoint(m_host.imagePosition().x(), 0));
    } else if (state == State::ScrollLeft) {
        const QRect rightHalf(width2(), 0, m_display.width() - width2(), m_display.height());
        m_display.copy(QRect(0, 0, rightHalf.width(), m_display.height()), m_display.image(), rightHalf);
        m_host.setImagePosition(QPoint(0, 0));
    } else {
        m_host.setImagePosition(QPoint(m_host.imagePosition().x(), 0));
    }
    releaseEffectBuffers();
    holdFor(State::Idle);
    if (!m_queue.empty())
        ShowSurtitle();
    EffectStep = FullProgress;
}
