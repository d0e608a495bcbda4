#pragma once

#include "AnimationTimer.h"
#include "Canvas.h"
#include "CaptionComposer.h"
#include "CaptionQueue.h"
#include "FadeCoverage.h"
#include "HtmlLabelRenderer.h"
#include "PresentationEvents.h"
#include "PresentationHost.h"
#include "ShownCaption.h"
#include "captions/CaptionDocumentReader.h"
#include "captions/CaptionWords.h"
#include "captions/Colours.h"

#include <QSize>
#include <QString>
#include <atomic>
#include <optional>

// The presentation engine: takes queued caption documents in order, reads each into the caption
// records, sets up its entry effect, and carries the effect out one animation step at a time. It is
// stepped from outside (by the window's animation timer, or a test) and never reads a clock.
class Presenter {
public:
    // How a fade step redraws. Changed clears only what the quarter in view needs, and writes the
    // caption kept from the fade's first steps in the step's colours; Whole clears all of the display
    // image and composes the caption afresh at every step, the straightforward way that tests hold
    // the first to, and holds all of the display image at all times.
    enum class Redraw { Changed, Whole };

    explicit Presenter(PresentationHost& host, Redraw redraw = Redraw::Changed);

    // Told of every document taken from the queue from now on, and of what could not be shown;
    // null tells no one.
    void setEvents(PresentationEvents* events) { m_events = events; }

    // The display image is twice the window's client area in both directions. Only the quarter in
    // view is held, but while an effect brings a picture in from the others, and the image's
    // bottom-left pixel, which a window drawing it transparently keys out.
    void resizeDisplay(QSize clientSize);
    QSize displaySize() const { return m_display.size(); }
    QRgb bottomLeftPixel() const;
    // After a resize: the caption the audience saw is drawn again at once, laid out for the new
    // size, in its full colours. An effect under way draws its next step at the new size instead.
    void redrawShown();
    // The pixels of the display image held (from its top-left corner): all a window can show.
    const QImage& displayImage() const;
    // The base caption font height, in points, for the display image as it is sized now: its width
    // div 56, unless fixed (as the command line may fix it).
    int baseFontHeight(std::optional<int> fixed = std::nullopt) const;
    // The display image to draw on: the picture in view is no longer known to be plain.
    Canvas& displayCanvas();

    // The font captions were last drawn in, in the colour of the last step; before any caption, the
    // face and size the display is set up with.
    const CanvasFont& displayFont() const { return m_font; }
    void setDisplayFont(const QString& name, int pointSize);
    // The colour the display image was last cleared to, which the caption in view lies on: the colour
    // transparent mode keys out.
    ColourValue clearColour() const { return m_clearColour; }

    // Appends a caption document; ShowSurtitle presents it when no effect is running.
    CaptionQueue::Overflow enqueue(const QString& document) { return m_queue.push_back(document); }
    void clearQueue() { m_queue.clear(); }
    qsizetype queuedDocuments() const { return qsizetype(m_queue.size()); }

    void ShowSurtitle();
    void AnimateTimerTimer();
    // Ends the effect under way at once, as its last step would leave it, so that the next document
    // is presented now (an operator's "Blank" must not wait for a fade to finish). A fade's second
    // half is skipped with the rest: the next document replaces that caption anyway.
    void finishEffectNow();

    // The observer is told of every caption that enters from now on; null tells no one.
    void setShownCaptionObserver(ShownCaptionObserver* observer) { m_shownObserver = observer; }
    // Before any caption is presented: draws a caption shown before a restart again, at once (an
    // instant fade in), as though it had just entered.
    void restoreShown(const ShownCaption& shown);

    // Which effect runs: a fade in, a fade out (followed by the fade in), or a scroll.
    enum class AnimationState { Idle, FadeIn, FadeOut, ScrollUp, ScrollDown, ScrollLeft, ScrollRight };

    bool effectRunning() const { return m_pace.EffectRunning; }
    AnimationState effectState() const { return EffectState; }
    int effectStep() const { return EffectStep; }
    int effectSpeed() const { return EffectSpeed; }
    int scrollDistance() const { return ScrollDistance; }
    const CaptionDocumentState& records() const { return m_records; }
    // The part of the display image the last fade step changed: all a window showing the image need
    // paint again after repaintNow.
    QRect lastStepArea() const { return m_stepArea; }

    // The quarter in view when it is one colour but for what the last composition drew, and lies at
    // (0, 0): a fade's view, which a window may paint by filling the colour instead of copying it.
    // The display image holds the view's picture inside drawn only (an image read through
    // displayImage() holds all of it).
    struct PlainView {
        QRgb colour;
        QRect drawn;
        const QImage* image;
    };
    std::optional<PlainView> plainView() const;

    // What the animation clock reads, on its own thread.
    const AnimationPace& animationPace() const { return m_pace; }

private:
    static FontSizeSettings fontSizeSettings(const PresentationSettings& settings);
    static int captionFontSize(const TCaptions& caption, const PresentationSettings& settings);
    CompositionSettings compositionSettings(const PresentationSettings& settings) const;
    int captionBrightness(const TCaptions& caption) const;
    void useCaptionFont(const TCaptions& caption, ColourValue colour, const PresentationSettings& settings);
    void setUpEffect(EntryEffect entry, const PresentationSettings& settings);
    void startEffect(AnimationState state, int speed);
    void scrollUpSetUp(bool rollUp, const PresentationSettings& settings);
    void scrollDownSetUp(const PresentationSettings& settings);
    void scrollLeftSetUp(const PresentationSettings& settings);
    void scrollRightSetUp(const PresentationSettings& settings);
    CaptionComposer::Result compose(const TCaptions& caption, const QRect& area, int alpha, int brightness,
                                    const PresentationSettings& settings);

    // The steps of ShowSurtitle: the next document of the queue, unless an effect runs; what a
    // special text ("Blank", "Clear", the empty caption) makes of the caption; the effect it enters
    // with, an instant caption as a fade of one tick.
    std::optional<QString> takeNextDocument();
    void applySpecialText(SpecialText special, TCaptions& caption) const;
    static std::optional<EntryEffect> entryEffectOf(TCaptions& caption);
    void rememberShown(EntryEffect entry);
    void report(const PresentedDocument& document) const;
    void warn(const QString& message) const;
    void clear(const QRect& area, ColourValue colour);
    // What the caller of fillForFade does with what the last composition drew: draws over it in part,
    // so it is cleared first, or writes every pixel of it.
    enum class DrawnArea { Cleared, Overwritten };
    void fillForFade(ColourValue colour, DrawnArea drawn = DrawnArea::Cleared);
    void applyDeferredFill();
    // Holds what the window may show of the display image: the quarter in view, what the effect
    // brings in, and while the image lies elsewhere, what was held.
    CanvasHolding holding(AnimationState state, QSize displaySize) const;
    void holdFor(AnimationState state);
    void releaseEffectBuffers();
    void settleView() const;
    CaptionComposer::Result composeInView(const TCaptions& caption, int alpha, int brightness,
                                          const PresentationSettings& settings);
    // What a fade draws at each step: the caption that entered (fading in) or the one the audience
    // saw before it (fading out), in its full colours, or the picture of lines rolled up into view.
    struct FadingCaption {
        const TCaptions& caption;
        ColourValue fontColour;
        ColourValue backColour;
        const QImage* picture; // null: the caption is drawn from its record
    };
    const FadeCoverage* keptCoverage(const CompositionSettings& composition, int brightness) const;
    bool recordingFade() const;
    void composeAndRecord(const FadingCaption& fading, int alpha, int brightness, const PresentationSettings& settings);
    void advance(int floor);
    int fadeLevel() const;
    FadingCaption fadingCaption();
    void fadeStep();
    void finishFade();
    void scrollStep();
    void finishEffect();

    QRect upperLeft() const { return {0, 0, width2(), height2()}; }
    int width2() const { return m_display.width() / 2; }
    int height2() const { return m_display.height() / 2; }

    PresentationHost& m_host;
    ShownCaptionObserver* m_shownObserver = nullptr;
    Redraw m_redraw;
    mutable Canvas m_display; // reading the image writes the view's owed fill into it first
    Canvas m_composition;
    HtmlLabelRenderer m_renderer;
    CaptionComposer m_composer;

    CaptionQueue m_queue;
    CaptionDocumentState m_records;
    PresentationEvents* m_events = nullptr;

    // What the audience sees, which a fade-out starts from: the caption that last entered, redrawn
    // from its record (with black for its background when a scroll cleared to black), or, after
    // roll-up captions, the picture in view as the fade begins. A caption that never appeared
    // ("{EMPTY}", an unknown effect) leaves it as it was.
    struct Shown {
        TCaptions caption;
        bool pictureInView = false;
        QImage picture;
    };
    Shown m_shown;
    Shown m_fadingOut;
    CanvasFont m_font;                         // what captions are drawn in
    ColourValue m_clearColour = Colour::Black; // what they lie on
    ColourValue m_fontColourValue = Colour::Yellow;
    ColourValue m_backColourValue = Colour::Black;
    std::optional<ColourValue> m_deferredFill; // the colour the parts outside the view still owe
    std::optional<ColourValue> m_viewFill;     // the view is of this colour but for m_viewDrawn
    QRect m_viewDrawn;                         // what the last composition drew
    QRect m_viewCleared;                       // what the last fade step cleared in the view
    // The view's colour is owed outside m_viewDrawn: the image there still holds an older picture.
    mutable bool m_viewOwed = false;
    QRect m_stepArea; // what the last fade step filled and drew

    // The fading caption as its second and third steps drew it, which the fade's later steps write again in
    // their colours instead of composing it anew. Two steps recorded alike tell the font and
    // background colours, which change from step to step, from fixed colours that may equal them at
    // one step. Kept for one half of a fade, as long as the display and the settings it was composed
    // with stay as they were.
    struct KeptFade {
        int generation = 0; // m_keptFadeGeneration when it was recorded
        CompositionSettings composition;
        int brightness = 255;
        std::optional<FadeCoverage> first;    // as the first step recorded drew it
        std::optional<FadeCoverage> coverage; // as both steps recorded drew it alike
        bool recording = true;                // false: it cannot be kept
    };
    std::optional<KeptFade> m_keptFade;
    // Moves on at each half of a fade begun and at whatever else makes a kept fade stale.
    int m_keptFadeGeneration = 0;
    bool keptFadeStale() const { return !m_keptFade || m_keptFade->generation != m_keptFadeGeneration; }

    AnimationState EffectState = AnimationState::Idle;
    int EffectStep = 0;
    int EffectSpeed = 0;
    int ScrollDistance = 0;
    AnimationPace m_pace;
};
