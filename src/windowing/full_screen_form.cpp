#include "full_screen_form.h"

#include "windowing/display_platform.h"
#include "windowing/host_window.h"
#include "drawing/picture_fit.h"
#include "wayland/black_surface.h"
#include "wayland/wayland_globals.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRegion>
#include <QScreen>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr Qt::WindowFlags CoveringWindow = Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;
constexpr Qt::WindowFlags EmbeddedWindow = Qt::Window | Qt::FramelessWindowHint | Qt::WindowTransparentForInput;

void makeBlackBlank(QWidget &widget)
{
    QPalette black = widget.palette();
    black.setColor(QPalette::Window, Qt::black);
    widget.setPalette(black);
    widget.setAutoFillBackground(true);
    widget.setCursor(HiddenPointer());
    widget.setMouseTracking(true);
}

// Without a window manager nobody honours the full-screen state, so the geometry is set as well.
void placeFullScreen(QWidget &widget, QScreen *screen)
{
    widget.setScreen(screen);
    widget.setGeometry(screen->geometry());
    widget.setWindowState(Qt::WindowFullScreen);
}

// A window that paints nothing shows the fresh, zeroed buffer Qt hands the X server as black, and
// Qt's pages for it are never touched.
void paintNothing(QWidget &widget, bool nothing)
{
    widget.setAutoFillBackground(!nothing);
    widget.setAttribute(Qt::WA_NoSystemBackground, nothing);
    widget.setAttribute(Qt::WA_OpaquePaintEvent, nothing);
}

// Where the picture moves away inside the form, the X server makes the form's window black at
// once, not only once the program paints it: no frame shows what was there before.
void clearToBlackOnX(QWidget &widget)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !x11 || !x11->connection())
        return;
    const quint32 black = 0;
    xcb_change_window_attributes(x11->connection(), xcb_window_t(widget.winId()), XCB_CW_BACK_PIXEL, &black);
}

// A black window over another screen. On Wayland it shows one black pixel, scaled by the
// compositor, where the compositor can: Qt paints nothing there and keeps no pixels for it, and
// each configure is answered as soon as Qt has acknowledged it.
class Cover : public QWidget
{
public:
    Cover() : QWidget(nullptr, CoveringWindow)
    {
        if (const WaylandGlobals *globals = WaylandGlobals::get()) {
            black_ = std::make_unique<BlackSurface>(*globals);
            setAttribute(Qt::WA_PaintOnScreen);
        }
    }

protected:
    QPaintEngine *paintEngine() const override { return black_ ? nullptr : QWidget::paintEngine(); }
    void paintEvent(QPaintEvent *) override
    {
        if (black_)
            black_->show(SurfaceOf(windowHandle()), size());
    }
    void hideEvent(QHideEvent *) override
    {
        if (black_)
            black_->forget();
    }

private:
    std::unique_ptr<BlackSurface> black_;
};

} // namespace

FullScreenForm::FullScreenForm(HostWindow *host)
    : QWidget(nullptr, host ? EmbeddedWindow : CoveringWindow), embedded_(host != nullptr)
{
    makeBlackBlank(*this);
    if (host) {
        embedIn(*host);
        return;
    }
    followPrimaryScreen();
    // The user may make another screen primary; on Wayland the next output becomes primary when
    // the first one goes.
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, &FullScreenForm::followPrimaryScreen,
            Qt::QueuedConnection);
    // A monitor plugged in while the form shows is covered too; one unplugged leaves a cover
    // spare. Queued, so Qt has moved the windows off a screen that went.
    for (auto change : {&QGuiApplication::screenAdded, &QGuiApplication::screenRemoved})
        connect(qGuiApp, change, this, &FullScreenForm::followScreens, Qt::QueuedConnection);
}

void FullScreenForm::followPrimaryScreen()
{
    disconnect(primaryGeometry_);
    primaryGeometry_ = connect(QGuiApplication::primaryScreen(), &QScreen::geometryChanged, this,
                               &FullScreenForm::followScreens);
    followScreens();
}

void FullScreenForm::followScreens()
{
    placeOnPrimaryScreen();
    if (isVisible())
        coverTheRest();
}

void FullScreenForm::keepShape(const QSize &shape)
{
    shape_ = shape;
    if (!embedded_)
        placeOnPrimaryScreen();
}

void FullScreenForm::placeOnPrimaryScreen()
{
    QScreen *primary = QGuiApplication::primaryScreen();
    // A Wayland compositor puts a window where it likes unless it is full screen, so there the
    // form covers the whole screen and paints the bands itself.
    if (shape_.isEmpty() || OnWayland()) {
        placeFullScreen(*this, primary);
        return;
    }
    // Not full-screen to a window manager either, which would make it so.
    setScreen(primary);
    setWindowState(Qt::WindowNoState);
    const QRect screen = primary->geometry();
    // The bands give the picture its room to wander; where it fills the screen, the screen's
    // edge cuts it.
    const int room = int(std::ceil(wanderPath().reach() / ScreenPixelRatio(primary)));
    const QRect picture = FitPictureInside(screen.size(), shape_).translated(screen.topLeft());
    setGeometry(picture.adjusted(-room, -room, room, room).intersected(screen));
}

QRect FullScreenForm::pictureArea() const
{
    if (shape_.isEmpty())
        return rect();
    if (embedded_)
        return FitPictureInside(size(), shape_);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    return FitPictureInside(screen.size(), shape_).translated(screen.topLeft() - geometry().topLeft());
}

PictureWander FullScreenForm::wanderPath() const
{
    return PictureWander(heightInDevicePixels());
}

// The host's window, or the screen the form is on.
int FullScreenForm::heightInDevicePixels() const
{
    if (embedded_)
        return int(std::lround(height() * devicePixelRatioF()));
    const QScreen *primary = QGuiApplication::primaryScreen();
    return int(std::lround(primary->geometry().height() * ScreenPixelRatio(primary)));
}

FullScreenForm::~FullScreenForm() = default;

void FullScreenForm::embedIn(HostWindow &host)
{
    // The native window must exist to be put inside the host's.
    winId();
    windowHandle()->setParent(host.window());
    setGeometry(QRect(QPoint(0, 0), host.size()));
    connect(&host, &HostWindow::resized, this, qOverload<const QSize &>(&QWidget::resize));
    connect(&host, &HostWindow::vanished, this, &QWidget::close);
}

void FullScreenForm::resizeEvent(QResizeEvent *)
{
    emit resized();
}

void FullScreenForm::leaveUnpainted(bool unpainted)
{
    const WaylandGlobals *globals = WaylandGlobals::get();
    if (unpainted && globals && !embedded_)
        black_ = std::make_unique<BlackSurface>(*globals);
    else
        black_.reset();
    setAttribute(Qt::WA_PaintOnScreen, black_ != nullptr);
    paintNothing(*this, unpainted);
}

QPaintEngine *FullScreenForm::paintEngine() const
{
    return black_ ? nullptr : QWidget::paintEngine();
}

void FullScreenForm::showEvent(QShowEvent *)
{
    clearToBlackOnX(*this);
    if (embedded_) {
        emit shown();
        return;
    }
    pointer_ = QCursor::pos();
    coverTheRest();
    activateWindow();
    // The keyboard can only be taken once the window is on screen, which its first expose says.
    windowHandle()->installEventFilter(this);
    // A child with an X window of its own gets its pointer events there, past the form's window.
    for (QWidget *child : findChildren<QWidget *>())
        if (QWindow *window = child->windowHandle())
            window->installEventFilter(this);
    grabKeyboardOnce();
    emit shown();
}

void FullScreenForm::hideEvent(QHideEvent *)
{
    if (black_)
        black_->forget();
    for (const std::unique_ptr<QWidget> &cover : covers_)
        cover->hide();
    if (keyboardGrabbed_)
        windowHandle()->setKeyboardGrabEnabled(false);
    keyboardGrabbed_ = false;
}

// Qt ends the message loop when the last top-level window closes; inside a host's window the form
// is no top-level window to Qt, so it ends the loop itself.
void FullScreenForm::closeEvent(QCloseEvent *)
{
    if (embedded_)
        QCoreApplication::quit();
}

void FullScreenForm::paintEvent(QPaintEvent *)
{
    if (black_)
        black_->show(SurfaceOf(windowHandle()), size());
    emit painted();
}

void FullScreenForm::keyPressEvent(QKeyEvent *)
{
    emit keyPressed();
}

void FullScreenForm::mouseMoveEvent(QMouseEvent *)
{
    emit mouseMoved();
}

bool FullScreenForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Expose && watched == windowHandle()) {
        grabKeyboardOnce();
        // Qt has acknowledged a Wayland compositor's configure by now, but commits only once it
        // has painted something new; sway holds its whole layout until the commit comes, or for
        // 200 ms. Once Qt is done with the expose, a commit of what is there answers at once.
        if (OnWayland())
            QMetaObject::invokeMethod(
                this, [this] { CommitSurface(windowHandle()); }, Qt::QueuedConnection);
    }
    // Where a Wayland compositor first says the pointer is, which it does on entering a window.
    else if (event->type() == QEvent::Enter)
        pointer_ = static_cast<QEnterEvent *>(event)->globalPosition().toPoint();
    else if (event->type() == QEvent::KeyPress && watched != windowHandle())
        emit keyPressed();
    else if (event->type() == QEvent::MouseMove) {
        // Qt makes up a move for a click at a position it has not seen yet, such as where the
        // pointer rested when the form showed; such a move goes no further.
        if (!pointerMovedTo(static_cast<QMouseEvent *>(event)->globalPosition().toPoint()))
            return true;
        // A cover has no handler of its own; the form and its children have.
        if (watched->isWidgetType())
            emit mouseMoved();
    }
    return QWidget::eventFilter(watched, event);
}

void FullScreenForm::grabKeyboardOnce()
{
    if (!keyboardGrabbed_ && windowHandle()->isExposed())
        keyboardGrabbed_ = windowHandle()->setKeyboardGrabEnabled(true);
}

bool FullScreenForm::pointerMovedTo(const QPoint &global)
{
    if (global == pointer_)
        return false;
    pointer_ = global;
    return true;
}

// Covers from an earlier show are used again; those left over stay hidden.
void FullScreenForm::coverTheRest()
{
    std::size_t used = 0;
    QScreen *primary = QGuiApplication::primaryScreen();
    for (QScreen *screen : QGuiApplication::screens())
        if (screen != primary)
            cover(used++, screen->geometry(), screen);
    if (!OnWayland()) {
        for (const QRect &band : QRegion(primary->geometry()) - geometry())
            cover(used++, band, primary);
    }
    for (std::size_t index = used; index < covers_.size(); ++index)
        covers_[index]->hide();
}

void FullScreenForm::cover(std::size_t index, const QRect &area, QScreen *screen)
{
    if (index == covers_.size()) {
        auto cover = std::make_unique<Cover>();
        cover->setAttribute(Qt::WA_QuitOnClose, false);
        makeBlackBlank(*cover);
        cover->installEventFilter(this);
        covers_.push_back(std::move(cover));
    }
    QWidget &cover = *covers_[index];
    const bool band = screen == QGuiApplication::primaryScreen();
    // No band pixels are ever kept in this process, nor any where a cover paints itself.
    paintNothing(cover, band || cover.testAttribute(Qt::WA_PaintOnScreen));
    if (band) {
        cover.setScreen(screen);
        cover.setWindowState(Qt::WindowNoState);
        cover.setGeometry(area);
    } else {
        placeFullScreen(cover, screen);
    }
    cover.show();
}
