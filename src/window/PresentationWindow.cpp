#include "PresentationWindow.h"

#include "BackgroundPicture.h"
#include "DevicePixels.h"
#include "presentation/DisplayColour.h"
#include "presentation/DisplayPainting.h"
#include "presentation/PixelPasses.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QPoint NoDragOrigin(-1, -1);
constexpr int FontAdjustKeyStep = 1;
constexpr int MoveKeyStep = 1;
constexpr int MoveKeyStepWithCtrl = 10;

// The window's flags with its border shown or hidden; staying on top is kept as it is, since the
// setup dialog may have taken it away until the next effect step. A full-screen window is an
// ordinary one: window managers may refuse the full-screen state to a tool window.
Qt::WindowFlags presentationFlags(PresentationWindow::Border border, bool stayOnTop, bool fullScreen = false) {
    Qt::WindowFlags flags = fullScreen ? Qt::Window : Qt::Tool;
    if (stayOnTop)
        flags |= Qt::WindowStaysOnTopHint;
    if (border == PresentationWindow::Border::Hidden)
        flags |= Qt::FramelessWindowHint;
    return flags;
}

// A sign with two caption lines: the tray icon where the application has no icon of its own.
QIcon generatedIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::black);
    QPainter painter(&pixmap);
    painter.fillRect(6, 12, 20, 3, Qt::yellow);
    painter.fillRect(4, 19, 24, 3, Qt::yellow);
    return QIcon(pixmap);
}

const QString WindowTitle = QStringLiteral("Veltrinox LCD presentation");

} // namespace

PresentationWindow::PresentationWindow(const PresentationInputs& inputs, PictureFileChooser& pictureFiles,
                                       QWidget* parent)
    : QWidget(parent, presentationFlags(Border::Shown, true)), m_inputs(inputs), m_pictureFiles(pictureFiles),
      m_presenter(*this), m_popupMenu(this) {
    setWindowTitle(WindowTitle);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::black);
    setPalette(background);
    setAutoFillBackground(false);

    m_hideBorderTimer.setInterval(HideBorderMilliseconds);
    m_hideBorderTimer.setSingleShot(true);
    connect(&m_hideBorderTimer, &QTimer::timeout, this, &PresentationWindow::hideBorder);
    m_hideBorderTimer.start();

    m_ownMoves.fill(QPoint(std::numeric_limits<int>::min(), std::numeric_limits<int>::min()));
    m_moveSettledTimer.setInterval(MoveSettleMilliseconds);
    m_moveSettledTimer.setSingleShot(true);
    connect(&m_moveSettledTimer, &QTimer::timeout, this, &PresentationWindow::moveSettled);

    m_enableMouseMove.setInterval(EnableMouseMoveMilliseconds);
    m_enableMouseMove.setSingleShot(true);
    connect(&m_enableMouseMove, &QTimer::timeout, this, &PresentationWindow::enableMouseMove);

    connect(&m_popupMenu, &QMenu::aboutToShow, this, &PresentationWindow::onMenuAboutToShow);
    // The background is the window's own: it carries out those two commands; the owner the rest.
    connect(&m_popupMenu, &PopupMenu::commandChosen, this, [this](MenuCommand command) {
        if (command == MenuCommand::ChooseBackgroundImage)
            chooseBackgroundImage();
        else if (command == MenuCommand::ClearBackgroundImage)
            clearBackgroundImage();
    });
    createTrayIcon();
}

PresentationWindow::~PresentationWindow() {
    stopAnimation();
}

void PresentationWindow::setInstanceName(const QString& name) {
    setWindowTitle(name.isEmpty() ? WindowTitle : WindowTitle + u" - "_s + name);
    if (m_trayIcon)
        m_trayIcon->setToolTip(windowTitle());
}

void PresentationWindow::createTrayIcon() {
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    const QIcon applicationIcon = QApplication::windowIcon();
    m_trayIcon = std::make_unique<QSystemTrayIcon>(applicationIcon.isNull() ? generatedIcon() : applicationIcon);
    m_trayIcon->setToolTip(windowTitle());
    m_trayIcon->setContextMenu(&m_popupMenu);
    m_trayIcon->show();
}

void PresentationWindow::setFixedBaseFontHeight(std::optional<int> points) {
    m_fixedBaseFontHeight = points;
    m_baseFontHeight = m_presenter.baseFontHeight(points);
}

void PresentationWindow::startAnimation() {
    if (!m_animationTimer)
        m_animationTimer = std::make_unique<AnimationTimer>(this, m_presenter.animationPace());
}

void PresentationWindow::stopAnimation() {
    m_animationTimer.reset();
}

PresentationSettings PresentationWindow::settings() const {
    PresentationSettings settings = m_inputs.presentationSettings();
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
    if (m_transparent)
        Q_EMIT shownPictureChanged(QRect());
}

void PresentationWindow::applyOpacity() {
    // Outside transparent mode the alpha is kept but the window stays opaque.
    setWindowOpacity(m_transparent ? m_alpha / 255.0 : 1.0);
}

void PresentationWindow::setStayOnTop() {
    if (!windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        changeFlags(windowFlags() | Qt::WindowStaysOnTopHint);
}

void PresentationWindow::stopStayingOnTop() {
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        changeFlags(windowFlags() & ~Qt::WindowStaysOnTopHint);
}

void PresentationWindow::changeFlags(Qt::WindowFlags flags) {
    QWindow* const native = windowHandle();
    if (!isVisible() || !native) {
        setWindowFlags(flags);
        return;
    }
    // A shown window takes its new flags as it stands. Setting them on the widget would hide the
    // window and map it again at once, and a window manager still taking on the window from its
    // first mapping may drop the second: the window would never appear. A caption shown again at
    // start-up has the border hidden within milliseconds of the first mapping.
    overrideWindowFlags(flags);
    native->setFlags(flags);
}

void PresentationWindow::enterFullScreen() {
    if (!m_fullScreen) {
        m_fullScreen = true;
        changeFlags(presentationFlags(border(), windowFlags().testFlag(Qt::WindowStaysOnTopHint), true));
    }
    showFullScreen();
}

void PresentationWindow::leaveFullScreen() {
    showNormal();
    if (m_fullScreen) {
        m_fullScreen = false;
        changeFlags(presentationFlags(border(), windowFlags().testFlag(Qt::WindowStaysOnTopHint)));
    }
}

PresentationWindow::Border PresentationWindow::border() const {
    return windowFlags().testFlag(Qt::FramelessWindowHint) ? Border::Hidden : Border::Shown;
}

QRect PresentationWindow::deviceGeometry() const {
    return QRect(toDevicePixels(geometry(), *screen()).topLeft(), deviceSize());
}

QRect PresentationWindow::deviceFrameGeometry() const {
    return toDevicePixels(frameGeometry(), *screen());
}

QSize PresentationWindow::deviceSize() const {
    const qreal ratio = devicePixelRatioF();
    return {int(std::lround(width() * ratio)), int(std::lround(height() * ratio))};
}

QPoint PresentationWindow::devicePoint(QPointF point) const {
    return (point * devicePixelRatioF()).toPoint();
}

void PresentationWindow::applySize(QSize size) {
    applyGeometry(QRect(deviceGeometry().topLeft(), size));
}

void PresentationWindow::applyGeometry(const QRect& geometry) {
    const QScreen* target = screenAtDevicePoint(geometry.center());
    applyLogicalGeometry(target ? fromDevicePixels(geometry, *target) : geometry);
}

void PresentationWindow::applyLogicalGeometry(const QRect& geometry) {
    m_appliedSize = geometry.size();
    noteOwnMove(geometry.topLeft());
    setGeometry(geometry);
}

void PresentationWindow::moveBy(QPoint offset) {
    const qreal ratio = devicePixelRatioF();
    const QPoint step(int(std::lround(offset.x() / ratio)), int(std::lround(offset.y() / ratio)));
    noteOwnMove(geometry().topLeft() + step);
    move(pos() + step);
}

void PresentationWindow::noteOwnMove(QPoint clientTopLeft) {
    m_ownMoves[m_nextOwnMove] = clientTopLeft;
    m_nextOwnMove = (m_nextOwnMove + 1) % m_ownMoves.size();
}

bool PresentationWindow::movedByOperator() const {
    // Moves the window makes itself (geometry rules, Shift+arrows, a Shift-drag) arrive some time
    // after they were asked for, possibly several at once: each lands where one of them was aimed.
    if (m_dragOrigin != NoDragOrigin)
        return false;
    return std::find(m_ownMoves.begin(), m_ownMoves.end(), geometry().topLeft()) == m_ownMoves.end();
}

void PresentationWindow::setBorder(Border border) {
    if (border == this->border())
        return;
    // The window manager frames the window anew; its content area stays where it was.
    const QRect geometryBefore = geometry();
    m_reframedGeometry = geometryBefore;
    m_reframedFrame = frameGeometry();
    m_sinceReframed.start();
    changeFlags(presentationFlags(border, windowFlags().testFlag(Qt::WindowStaysOnTopHint), m_fullScreen));
    applyLogicalGeometry(geometryBefore);
    show();
}

bool PresentationWindow::beingReframed() const {
    return m_sinceReframed.isValid() && !m_sinceReframed.hasExpired(ReframeSettleMilliseconds);
}

bool PresentationWindow::reframedToOuterSize() const {
    // The border gone, the content area took the frame's size: in the frame's place, or elsewhere
    // where the window manager had moved the frame to keep it on the monitor; the border back, the
    // content area shrank inside where it was.
    const QRect now = geometry();
    return beingReframed() &&
           (now.size() == m_reframedFrame.size() || (now != m_reframedGeometry && m_reframedGeometry.contains(now)));
}

void PresentationWindow::hideBorder() {
    m_hideBorderTimer.stop();
    // A window never shown (a start-up that failed) has no border to hide and must not appear.
    if (!isVisible())
        return;
    Q_EMIT borderHiding();
    setBorder(Border::Hidden);
    setCursor(Qt::BlankCursor);
    m_mouseMoveAttached = false;
    m_enableMouseMove.start();
}

void PresentationWindow::enableMouseMove() {
    m_enableMouseMove.stop();
    m_mouseMoveAttached = true;
}

void PresentationWindow::toggleTransparent() {
    m_transparent = !m_transparent;
    // A fade done outside transparent mode leaves its last alpha behind (0 after a fade-in); in
    // transparent mode that alpha is the window's opacity, and the window must not vanish.
    if (m_transparent)
        m_alpha = 255;
    m_keyColour = DisplayRgb(m_presenter.clearColour());
    setAttribute(Qt::WA_TranslucentBackground, m_transparent);
    applyOpacity();
    update();
}

void PresentationWindow::showBorder() {
    setBorder(Border::Shown);
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

void PresentationWindow::repaintNow() {
    // A fade step changed only the part the presenter reports; the rest of the window shows it already.
    const QRect client(QPoint(0, 0), deviceSize());
    QRect area = m_presenter.lastStepArea().translated(m_imagePosition).intersected(client);
    // Over a background picture the display image's transparent colour decides every pixel shown.
    if (m_hasBackgroundImage && m_composedKey != TransparentColour(m_presenter.bottomLeftPixel()))
        area = client;
    const qreal ratio = devicePixelRatioF();
    if (!area.isEmpty())
        repaint(QRectF(QPointF(area.topLeft()) / ratio, QSizeF(area.size()) / ratio).toAlignedRect());
}

void PresentationWindow::paintEvent(QPaintEvent* event) {
    // The display image is in device pixels and goes onto them one to one, whatever the desktop's
    // scale: the painter works in device pixels.
    const qreal ratio = devicePixelRatioF();
    const QRect area = QRectF(QPointF(event->rect().topLeft()) * ratio, QSizeF(event->rect().size()) * ratio)
                           .toAlignedRect()
                           .intersected(QRect(QPoint(0, 0), deviceSize()));
    QPainter painter(this);
    painter.scale(1 / ratio, 1 / ratio);
    Q_EMIT shownPictureChanged(area);
    if (!m_transparent && !m_hasBackgroundImage) {
        PaintDisplayImage(painter, m_presenter, m_imagePosition, area);
        return;
    }
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(area.topLeft(), composeFrame(area), area);
}

QImage PresentationWindow::shownPicture(const QRect& area) {
    const QRect client(QPoint(0, 0), deviceSize());
    const QRect part = area.isValid() ? area.intersected(client) : client;
    if (!m_transparent && !m_hasBackgroundImage) {
        QImage picture(part.size(), QImage::Format_RGB32);
        QPainter painter(&picture);
        painter.translate(-part.topLeft());
        PaintDisplayImage(painter, m_presenter, m_imagePosition, part);
        return picture;
    }
    QImage picture = composeFrame(part).copy(part);
    if (m_transparent && m_alpha < 255) {
        QPainter painter(&picture);
        painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        painter.fillRect(picture.rect(), QColor(0, 0, 0, m_alpha));
    }
    return picture;
}

const QImage& PresentationWindow::composeFrame(const QRect& area) {
    // Every pixel of the frame is opaque or, keyed out, fully transparent: such pixels read the same
    // premultiplied or not, and premultiplied is the format painted fastest.
    if (m_frame.size() != deviceSize())
        m_frame = QImage(deviceSize(), QImage::Format_ARGB32_Premultiplied);
    const QRect part = area.intersected(m_frame.rect());
    if (part.isEmpty())
        return m_frame;
    // The part is composed in place, through an image that shares its pixels, exactly as the whole
    // frame would be there: every pass below works pixel by pixel.
    const qsizetype stride = m_frame.bytesPerLine();
    QImage frame(m_frame.bits() + part.top() * stride + part.left() * 4, part.width(), part.height(), stride,
                 m_frame.format());
    const QPoint origin = part.topLeft();
    // In transparent mode the caption background is see-through: pixels of the key colour are
    // painted as no colour at all (a compositing window manager shows the desktop through them;
    // without one they stay black). The window's opacity carries its alpha. Without a background
    // picture a frame is composed only in transparent mode.
    if (!m_hasBackgroundImage) {
        ComposeKeyedDisplayImage(frame, m_presenter, m_imagePosition - origin, m_keyColour, 255);
        return m_frame;
    }
    // Where the picture does not reach, the window's black shows.
    frame.fill(Qt::black);
    QPainter composer(&frame);
    composer.drawImage(-origin, m_backgroundImage);
    composer.end();
    const QImage& display = m_presenter.displayImage();
    m_composedKey = TransparentColour(m_presenter.bottomLeftPixel());
    DrawOverBackground(frame, display, m_imagePosition - origin, *m_composedKey);
    if (m_transparent)
        KeyOutColour(frame, m_keyColour, 255);
    return m_frame;
}

void PresentationWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Showing or hiding the border reframes the window at the same size: that is no resize, and
    // must not start the border timer again (it would stop the effects that follow).
    if (event->size() == event->oldSize() || deviceSize() == m_presenter.displaySize() / 2)
        return;
    // The captions are laid out for the size the window really has, whoever gave it that size.
    m_presenter.resizeDisplay(deviceSize());
    m_baseFontHeight = m_presenter.baseFontHeight(m_fixedBaseFontHeight);
    m_presenter.redrawShown();
    if (event->size() != m_appliedSize && reframedToOuterSize() && !isFullScreen()) {
        // Some window managers keep a window's outer size as they add or take away its border, so
        // its content area grows by the title bar or shrinks by it. The border never changes the
        // size of the captions: the content area is given back its own geometry, once.
        m_sinceReframed.invalidate();
        applyLogicalGeometry(m_reframedGeometry);
        return;
    }
    if (event->size() != m_appliedSize) {
        m_hideBorderTimer.start();
        m_moveSettledTimer.start(); // the operator sizing the window's frame
    }
    Q_EMIT sizeChanged();
}

void PresentationWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // Only the operator's move of the window's frame ends in the settled-move step.
    if (movedByOperator() && !beingReframed())
        m_moveSettledTimer.start();
}

bool PresentationWindow::onDisplayImage(QPoint point) const {
    return QRect(m_imagePosition, m_presenter.displaySize()).contains(point);
}

void PresentationWindow::mousePressEvent(QMouseEvent* event) {
    m_buttonsPressedHere |= event->button();
    const QPoint point = devicePoint(event->position());
    if (onDisplayImage(point))
        onImageMousePress(point - m_imagePosition);
    QWidget::mousePressEvent(event);
}

void PresentationWindow::mouseReleaseEvent(QMouseEvent* event) {
    // A click is a press and release of the left button on the window; it belongs to what was
    // pressed, the display image or the background around it.
    const bool clicked = event->button() == Qt::LeftButton && m_buttonsPressedHere.testFlag(Qt::LeftButton) &&
                         rect().contains(event->position().toPoint());
    const bool pressedOnImage = m_dragOrigin != NoDragOrigin;
    m_buttonsPressedHere &= ~event->button();
    onImageMouseRelease();
    if (clicked && pressedOnImage)
        onImageClick(event->modifiers(), event->globalPosition().toPoint());
    else if (clicked)
        onBackgroundClick();
    QWidget::mouseReleaseEvent(event);
}

void PresentationWindow::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = devicePoint(event->position());
    // While a drag is armed the pointer belongs to the display image wherever it goes.
    if (m_mouseMoveAttached && (m_dragOrigin != NoDragOrigin || onDisplayImage(point)))
        onImageMouseMove(event->modifiers(), point - m_imagePosition);
    QWidget::mouseMoveEvent(event);
}

void PresentationWindow::contextMenuEvent(QContextMenuEvent* event) {
    m_popupMenu.popupAt(event->globalPos());
}

void PresentationWindow::onImageMousePress(QPoint imagePoint) {
    m_dragOrigin = imagePoint;
}

void PresentationWindow::onImageMouseRelease() {
    m_dragOrigin = NoDragOrigin;
}

void PresentationWindow::onImageMouseMove(Qt::KeyboardModifiers modifiers, QPoint imagePoint) {
    if (!modifiers.testFlag(Qt::ShiftModifier)) {
        showBorder();
        return;
    }
    setCursor(Qt::SizeAllCursor);
    // The window follows the pointer, so the point of the display image under it stays the same.
    if (m_dragOrigin != NoDragOrigin)
        moveBy(imagePoint - m_dragOrigin);
}

void PresentationWindow::onImageClick(Qt::KeyboardModifiers modifiers, QPoint screenPoint) {
    showPointer();
    if (modifiers.testFlag(Qt::ShiftModifier))
        return;
    m_popupMenu.popupAt(screenPoint);
}

void PresentationWindow::onBackgroundClick() {
    m_popupMenu.popupAt(QPoint(0, 0));
}

void PresentationWindow::onMenuAboutToShow() {
    showPointer();
    // The menu takes the pointer: a press that opened it gets its release there, not here.
    m_buttonsPressedHere = {};
    onImageMouseRelease();
}

void PresentationWindow::showPointer() {
    if (cursor().shape() == Qt::BlankCursor)
        setCursor(Qt::ArrowCursor);
}

void PresentationWindow::keyPressEvent(QKeyEvent* event) {
    if (!handleShortcutKey(event->key(), event->modifiers()))
        QWidget::keyPressEvent(event);
}

bool PresentationWindow::handleShortcutKey(int key, Qt::KeyboardModifiers modifiers) {
    modifiers &= ~Qt::KeypadModifier; // some keyboards report their arrow keys as keypad keys
    if (modifiers == Qt::NoModifier) {
        if (key == Qt::Key_Up)
            Q_EMIT fontAdjustRequested(FontAdjustKeyStep);
        else if (key == Qt::Key_Down)
            Q_EMIT fontAdjustRequested(-FontAdjustKeyStep);
        return key == Qt::Key_Up || key == Qt::Key_Down;
    }
    if (modifiers != Qt::ShiftModifier && modifiers != (Qt::ShiftModifier | Qt::ControlModifier))
        return false;
    const int step = modifiers.testFlag(Qt::ControlModifier) ? MoveKeyStepWithCtrl : MoveKeyStep;
    switch (key) {
    case Qt::Key_Left:
        moveBy(QPoint(-step, 0));
        return true;
    case Qt::Key_Right:
        moveBy(QPoint(step, 0));
        return true;
    case Qt::Key_Up:
        moveBy(QPoint(0, -step));
        return true;
    case Qt::Key_Down:
        moveBy(QPoint(0, step));
        return true;
    default:
        return false;
    }
}

void PresentationWindow::chooseBackgroundImage() {
    const QString file = m_pictureFiles.choosePictureFile(m_backgroundFileName, this);
    if (file.isEmpty())
        return;
    QString error;
    if (!loadBackgroundImage(file, &error) && !error.isEmpty()) {
        auto* box =
            new QMessageBox(QMessageBox::Warning, QApplication::applicationName(), error, QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->show();
    }
}

void PresentationWindow::clearBackgroundImage() {
    m_hasBackgroundImage = false;
    // Nothing shows the picture until another is loaded.
    m_backgroundImage = QImage();
    update();
}

bool PresentationWindow::loadBackgroundImage(const QString& file, QString* readerError) {
    if (readerError)
        readerError->clear();
    if (!QFileInfo::exists(file))
        return false;
    BackgroundBitmap bitmap = ReadBackgroundBitmap(file);
    if (bitmap.image.isNull()) {
        if (readerError)
            *readerError = bitmap.error;
        return false;
    }
    m_backgroundImage = std::move(bitmap.image);
    m_backgroundFileName = file;
    m_hasBackgroundImage = true;
    update();
    return true;
}
