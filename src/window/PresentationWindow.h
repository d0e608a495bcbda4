#pragma once

#include "PictureFileChooser.h"
#include "PopupMenu.h"
#include "PresentationInputs.h"
#include "presentation/AnimationTimer.h"
#include "presentation/PresentationHost.h"
#include "presentation/Presenter.h"

#include <QElapsedTimer>
#include <QImage>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>

// The presentation window: one stay-on-top window sized to the sign that shows the display image at
// its position, and the host of the presentation engine. It hands the engine its settings, moves
// the image for scrolls, fades its own opacity in transparent mode, and hides its border five
// seconds after it was last touched. The animation timer's steps arrive here as events.
//
// The operator works it with the pointer, a few keys and the pop-up menu (also the tray icon's):
// Shift and a button held drag the window, a click opens the menu, Up and Down adjust the font,
// Shift (and Ctrl) with the arrows move the window. A background picture can show through the
// display image's transparent colour.
class PresentationWindow : public QWidget, public PresentationHost {
    Q_OBJECT

public:
    static constexpr int HideBorderMilliseconds = 5000;
    // After the border hides, pointer movement is ignored this long: re-creating the window without
    // its border, and the operator's hand coming to rest, must not show the border again at once.
    static constexpr int EnableMouseMoveMilliseconds = 1000;

    // inputs supplies the live display settings, which the engine reads at the moment of use;
    // pictureFiles asks the operator for a background picture.
    explicit PresentationWindow(const PresentationInputs& inputs,
                                PictureFileChooser& pictureFiles = pictureFileDialog(), QWidget* parent = nullptr);
    ~PresentationWindow() override;

    // A named display's window (and tray icon) says its name after the title: "... - left".
    void setInstanceName(const QString& name);

    Presenter& presenter() { return m_presenter; }
    const Presenter& presenter() const { return m_presenter; }

    // The base caption font size: the display image's width div 56, unless the command line fixes it.
    int BaseFontHeight() const { return m_baseFontHeight; }
    void setFixedBaseFontHeight(std::optional<int> points);

    // Starts the 10 ms animation clock; it is stopped and joined before the engine goes.
    void startAnimation();
    void stopAnimation();

    static constexpr int MoveSettleMilliseconds = 300;
    // How long after the border shows or hides a change of size is the window manager's reframing.
    static constexpr int ReframeSettleMilliseconds = 1000;
    enum class Border { Shown, Hidden };

    // The operator's menu. The window carries out the background commands itself and reopens the
    // menu after the font-adjust items; the owner connects every other item.
    PopupMenu& popupMenu() { return m_popupMenu; }
    // The notification-area icon with the menu; null where the desktop has no notification area.
    QSystemTrayIcon* trayIcon() const { return m_trayIcon.get(); }

    // Where a Shift-drag took hold of the display image, in its coordinates; (-1, -1) when none.
    QPoint DragOrigin() const { return m_dragOrigin; }
    // Pointer movement shows the border again (the end of the second after it was hidden;
    // EnableMouseMoveTimer).
    void enableMouseMove();

    // The menu's "Choose Background Image" and "Clear Background Image".
    void chooseBackgroundImage();
    void clearBackgroundImage();
    // Shows file as the background picture. A missing file is ignored; a file that is no readable
    // bitmap fails with the reader's error, and the background stays as it was. True when loaded.
    bool loadBackgroundImage(const QString& file, QString* readerError = nullptr);
    bool HasBackgroundImage() const { return m_hasBackgroundImage; }
    // The file of the picture last loaded, kept when the picture is cleared.
    QString backgroundFileName() const { return m_backgroundFileName; }

    // The desktop's full-screen state, over the monitor the window stands on, and back to a normal
    // window. (Without a window manager nobody acts on the state: the window covers the monitor
    // by its geometry.)
    void enterFullScreen();
    void leaveFullScreen();

    // The content area and the frame around it in device pixels, the sign's own pixels, which every
    // size and position of the display is given in whatever the desktop's scale.
    QRect deviceGeometry() const;
    QRect deviceFrameGeometry() const;
    QSize deviceSize() const;

    // Resizes the window as its geometry rules ask, in device pixels: unlike a resize by the
    // operator, this does not show the border or start the border timer again.
    void applySize(QSize size);
    void applyGeometry(const QRect& geometry);

    // PresentationHost
    PresentationSettings settings() const override;
    QString stagetextSpeed() const override { return m_inputs.stagetextSpeed(); }
    QPoint imagePosition() const override { return m_imagePosition; }
    void setImagePosition(QPoint position) override;
    void setWindowAlpha(int alpha) override;
    bool transparentMode() const override { return m_transparent; }
    void setStayOnTop() override;
    // An ordinary window until the next effect step (the setup dialog comes to the front).
    void stopStayingOnTop();
    void repaintNow() override;
    bool borderHidingPending() const override { return m_hideBorderTimer.isActive(); }
    void hideBorderNow() override { hideBorder(); }

    // The border timer has run out (HideBorderTimerTimer): the border hides, the pointer with it.
    void hideBorder();
    // "Transparent": keyed transparency on or off.
    void toggleTransparent();
    int windowAlpha() const { return m_alpha; }

    // What the window shows now in area (device pixels; all of the window by default), as it paints
    // it: keyed-out pixels of a transparent window have no colour at all, and the others carry the
    // window's opacity.
    QImage shownPicture(const QRect& area = QRect());

Q_SIGNALS:
    // The border is about to hide: the configured geometry applies now (SetPosition).
    void borderHiding();
    // The operator's move or resize of the window's frame has come to rest (WMExitSizeMove).
    void moveSettled();
    // The window's size has changed (by the operator, the window manager or the geometry rules).
    void sizeChanged();
    // The Up and Down keys: the font adjustment changes by delta percent. The owner keeps it in range.
    void fontAdjustRequested(int delta);
    // The window has painted area (device pixels), or changed its opacity (an invalid area: all of
    // it): what it shows may have changed there.
    void shownPictureChanged(const QRect& area);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void showBorder();
    Border border() const;
    void setBorder(Border border);
    // The border has just been shown or hidden, and the window manager may still be reframing it.
    bool beingReframed() const;
    // A window manager reframing the window has kept its outer size, not its content area's.
    bool reframedToOuterSize() const;
    void changeFlags(Qt::WindowFlags flags);
    // Moves the window itself (the keys, a Shift-drag) by device pixels, unlike the operator moving its frame.
    void moveBy(QPoint offset);
    void applyLogicalGeometry(const QRect& geometry);
    // A point of the content area (in Qt's pixels) in device pixels.
    QPoint devicePoint(QPointF point) const;
    void noteOwnMove(QPoint clientTopLeft);
    bool movedByOperator() const;
    void applyOpacity();
    void showPointer();
    bool onDisplayImage(QPoint point) const;
    // The display image's pointer handlers (SurtitleImageMouseDown, -MouseUp, -MouseMove, -Click),
    // the background's click (BackgroundImageClick) and the menu opening (PopupMenuPopup).
    void onImageMousePress(QPoint imagePoint);
    void onImageMouseRelease();
    void onImageMouseMove(Qt::KeyboardModifiers modifiers, QPoint imagePoint);
    void onImageClick(Qt::KeyboardModifiers modifiers, QPoint screenPoint);
    void onBackgroundClick();
    void onMenuAboutToShow();
    // True when the key was one of the window's shortcuts (FormKeyDown).
    bool handleShortcutKey(int key, Qt::KeyboardModifiers modifiers);
    void createTrayIcon();
    // The client area as painted when the display image is keyed: over the background picture, in
    // transparent mode, or both. Only area (in client coordinates) is composed.
    const QImage& composeFrame(const QRect& area);

    const PresentationInputs& m_inputs;
    PictureFileChooser& m_pictureFiles;
    Presenter m_presenter;
    std::unique_ptr<AnimationTimer> m_animationTimer; // declared after the presenter: released first
    QTimer m_hideBorderTimer;
    QTimer m_moveSettledTimer;        // the end of a move: no move event for a moment
    std::array<QPoint, 8> m_ownMoves; // where the window's own latest moves were aimed
    std::size_t m_nextOwnMove = 0;
    QPoint m_imagePosition;
    QSize m_appliedSize; // the size the geometry rules last gave the window
    QElapsedTimer m_sinceReframed;
    QRect m_reframedGeometry; // the content area as it was before the border last changed
    QRect m_reframedFrame;    // and the frame around it
    std::optional<int> m_fixedBaseFontHeight;
    int m_baseFontHeight = 0;
    int m_alpha = 255;
    bool m_transparent = false;
    bool m_fullScreen = false;     // an ordinary window in the full-screen state, not a tool window
    QRgb m_keyColour = 0xFF000000; // the caption background when transparency was switched on
    QImage m_frame;                // composeFrame's picture, kept from one paint to the next
    // The display image's transparent colour when a frame over the background picture was last composed.
    std::optional<QRgb> m_composedKey;

    PopupMenu m_popupMenu;
    std::unique_ptr<QSystemTrayIcon> m_trayIcon; // declared after the menu it shows: released first
    QPoint m_dragOrigin{-1, -1};
    Qt::MouseButtons m_buttonsPressedHere; // a release is a click only after a press on the window
    QTimer m_enableMouseMove;
    bool m_mouseMoveAttached = true;

    QImage m_backgroundImage;
    QString m_backgroundFileName;
    bool m_hasBackgroundImage = false;
};
