#pragma once

#include "presentation/AnimationTimer.h"
#include "presentation/PresentationHost.h"
#include "presentation/Presenter.h"

#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

// The presentation window: one stay-on-top window sized to the sign that shows the display image at
// its position, and the host of the presentation engine. It hands the engine its settings, moves
// the image for scrolls, fades its own opacity in transparent mode, and hides its border five
// seconds after it was last touched. The animation timer's steps arrive here as events.
class PresentationWindow : public QWidget, public PresentationHost {
    Q_OBJECT

public:
    static constexpr int HideBorderMilliseconds = 5000;

    // settings supplies the live display settings; the engine reads them at the moment of use.
    explicit PresentationWindow(std::function<PresentationSettings()> settings, QWidget* parent = nullptr);
    ~PresentationWindow() override;

    Presenter& presenter() { return m_presenter; }
    const Presenter& presenter() const { return m_presenter; }

    // The base caption font size: the display image's width div 56, unless the command line fixes it.
    int BaseFontHeight() const { return m_baseFontHeight; }
    void setFixedBaseFontHeight(std::optional<int> points);

    // Starts the 10 ms animation clock; it is stopped and joined before the engine goes.
    void startAnimation();
    void stopAnimation();

    std::function<QString()> stagetextSpeedSource = [] { return QString(); };
    // Re-applies the configured geometry as the border is hidden.
    std::function<void()> setPosition = [] {};
    // The window has come to rest after being moved.
    std::function<void()> exitSizeMove = [] {};
    // The window's size has changed (by the operator, the window manager or the geometry rules).
    std::function<void()> resized = [] {};
    static constexpr int MoveSettleMilliseconds = 300;

    // Resizes the window as its geometry rules ask: unlike a resize by the operator, this does not
    // show the border or start the border timer again.
    void applySize(QSize size);
    void applyGeometry(const QRect& geometry);

    // PresentationHost
    PresentationSettings settings() const override;
    QString stagetextSpeed() const override { return stagetextSpeedSource(); }
    QPoint imagePosition() const override { return m_imagePosition; }
    void setImagePosition(QPoint position) override;
    void setWindowAlpha(int alpha) override;
    bool transparentMode() const override { return m_transparent; }
    void setStayOnTop() override;
    void repaintNow() override { repaint(); }
    bool borderHidingPending() const override { return m_hideBorderTimer.isActive(); }
    void hideBorderNow() override { HideBorderTimerTimer(); }

    void HideBorderTimerTimer();
    void Transparent1Click();
    int windowAlpha() const { return m_alpha; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void showBorder();
    void applyOpacity();

    std::function<PresentationSettings()> m_settings;
    Presenter m_presenter;
    std::unique_ptr<AnimationTimer> m_animationTimer; // declared after the presenter: released first
    QTimer m_hideBorderTimer;
    QTimer m_moveSettledTimer; // the end of a move: no move event for a moment
    QPoint m_imagePosition;
    QSize m_appliedSize; // the size the geometry rules last gave the window
    std::optional<int> m_fixedBaseFontHeight;
    int m_baseFontHeight = 0;
    int m_alpha = 255;
    bool m_transparent = false;
    QRgb m_keyColour = 0xFF000000; // the caption background when transparency was switched on
};
