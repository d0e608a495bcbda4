#include "PresentationWindow.h"

#include "presentation/DisplayColour.h"
#include "presentation/PixelPasses.h"

#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>

namespace {

constexpr int BaseFontDivisor = 56;

Qt::WindowFlags presentationFlags(bool bordered) {
    Qt::WindowFlags flags = Qt::Tool | Qt::WindowStaysOnTopHint;
    if (!bordered)
        flags |= Qt::FramelessWindowHint;
    return flags;
}

} // namespace

PresentationWindow::PresentationWindow(std::function<PresentationSettings()> settings, QWidget* parent)
    : QWidget(parent, presentationFlags(true)), m_settings(std::move(settings)), m_presenter(*this) {
    setWindowTitle(QStringLiteral("Veltrinox LCD presentation"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::black);
    setPalette(background);
    setAutoFillBackground(false);

    m_hideBorderTimer.setInterval(HideBorderMilliseconds);
    m_hideBorderTimer.setSingleShot(true);
    connect(&m_hideBorderTimer, &QTimer::timeout, this, &PresentationWindow::HideBorderTimerTimer);
    m_hideBorderTimer.start();

    m_moveSettledTimer.setInterval(MoveSettleMilliseconds);
    m_moveSettledTimer.setSingleShot(true);
    connect(&m_moveSettledTimer, &QTimer::timeout, this, [this] { exitSizeMove(); });
}

PresentationWindow::~PresentationWindow() {
    stopAnimation();
}

void PresentationWindow::setFixedBaseFontHeight(std::optional<int> points) {
    m_fixedBaseFontHeight = points;
    m_baseFontHeight = points.value_or(m_presenter.displayImage().width() / BaseFontDivisor);
}

void PresentationWindow::startAnimation() {
    if (!m_animationTimer)
        m_animationTimer = std::make_unique<AnimationTimer>(this, m_presenter.EffectRunning, m_presenter.TickReload);
}

void PresentationWindow::stopAnimation() {
    m_animationTimer.reset();
}

PresentationSettings PresentationWindow::settings() const {
    PresentationSettings settings = m_settings();
    settings.baseFontHeight = m_baseFontHeight;
    return settings;
}

void PresentationWindow::setImagePosition(QPoint position) {
    if (position == m_imagePosition)
        return;
    m_imagePosition = position;
    update();
}

void PresentationWindow::setWindowAlpha(int alpha) {
    m_alpha = alpha;
    applyOpacity();
}

void PresentationWindow::applyOpacity() {
    // Outside transparent mode the alpha is kept but the window stays opaque.
    setWindowOpacity(m_transparent ? m_alpha / 255.0 : 1.0);
}

void PresentationWindow::setStayOnTop() {
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        return;
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    show();
}

void PresentationWindow::applySize(QSize size) {
    m_appliedSize = size;
    resize(size);
}

void PresentationWindow::applyGeometry(const QRect& geometry) {
    m_appliedSize = geometry.size();
    setGeometry(geometry);
}

void PresentationWindow::HideBorderTimerTimer() {
    m_hideBorderTimer.stop();
    setPosition();
    m_presenter.stopEffect();
    if (!windowFlags().testFlag(Qt::FramelessWindowHint)) {
        const QRect geometryBefore = geometry();
        setWindowFlags(presentationFlags(false));
        setGeometry(geometryBefore);
        show();
    }
    setCursor(Qt::BlankCursor);
}

void PresentationWindow::Transparent1Click() {
    m_transparent = !m_transparent;
    m_keyColour = DisplayRgb(m_presenter.displayCanvas().brushColour);
    setAttribute(Qt::WA_TranslucentBackground, m_transparent);
    applyOpacity();
    update();
}

void PresentationWindow::showBorder() {
    if (windowFlags().testFlag(Qt::FramelessWindowHint)) {
        const QRect geometryBefore = geometry();
        setWindowFlags(presentationFlags(true));
        setGeometry(geometryBefore);
        show();
    }
    setCursor(Qt::ArrowCursor);
    m_hideBorderTimer.start();
}

bool PresentationWindow::event(QEvent* event) {
    if (event->type() == AnimationTimer::StepEvent) {
        m_presenter.AnimateTimerTimer();
        return true;
    }
    return QWidget::event(event);
}

void PresentationWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!m_transparent) {
        if (m_imagePosition != QPoint(0, 0))
            painter.fillRect(rect(), Qt::black);
        painter.drawImage(m_imagePosition, m_presenter.displayImage());
        return;
    }
    // The caption background is see-through: pixels of the key colour are painted as no colour at
    // all (a compositing window manager shows the desktop through them; without one they stay black).
    QImage visible(size(), QImage::Format_ARGB32);
    visible.fill(Qt::transparent);
    QPainter composer(&visible);
    composer.drawImage(m_imagePosition, m_presenter.displayImage());
    composer.end();
    KeyOutColour(visible, m_keyColour, 255); // the window's opacity carries the alpha
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), visible);
}

void PresentationWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Showing or hiding the border re-creates the window at the same size: that is no resize, and
    // must not start the border timer again (it would stop the effects that follow).
    if (event->size() == event->oldSize() || event->size() == m_presenter.displayImage().size() / 2)
        return;
    m_presenter.resizeDisplay(event->size());
    m_baseFontHeight = m_fixedBaseFontHeight.value_or(m_presenter.displayImage().width() / BaseFontDivisor);
    if (event->size() != m_appliedSize)
        m_hideBorderTimer.start();
    resized();
}

void PresentationWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    m_moveSettledTimer.start();
}

void PresentationWindow::mouseMoveEvent(QMouseEvent* event) {
    showBorder();
    QWidget::mouseMoveEvent(event);
}
