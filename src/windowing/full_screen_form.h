#pragma once

#include "windowing/picture_wander.h"

#include <QWidget>

#include <memory>
#include <vector>

class BlackSurface;
class HostWindow;

// A borderless black window over the whole primary screen (or over the part keepShape leaves it,
// black windows over the rest), above panels and other windows, that takes every key press while
// it is shown. Every other screen is covered by a black window too, also one plugged in meanwhile,
// and a key pressed or the mouse moved there counts as well. Only a pointer that really moves
// counts as moved: a click or wheel turn where it rests is none. The window's events are handed
// on as signals, so a form built on it attaches its handlers by name.
// Given a host window, the form fills that window instead: no covers, no grab, and no input,
// which goes on to the host.
class FullScreenForm : public QWidget
{
    Q_OBJECT
public:
    explicit FullScreenForm(HostWindow *host = nullptr);
    ~FullScreenForm() override;

    // From now on the form's own window takes only the largest centred part of the primary
    // screen of this shape, with room around it for the picture's wander where the screen has
    // it, and black windows cover the bands beside that. They paint nothing, so Qt keeps pixels
    // only for the form's part. On Wayland, where a window cannot choose its place, the form
    // stays full screen and paints the bands black itself. Inside a host's window it changes
    // nothing: the form fills that window.
    void keepShape(const QSize &shape);
    // Where the picture of that shape sits, centred, in the form's coordinates; all of the form
    // before a shape is set.
    QRect pictureArea() const;
    // The path the picture wanders on this screen, or in the host's window.
    PictureWander wanderPath() const;
    // Where the picture shows through a window of its own, none of it is ever painted into the
    // form's buffer, so the rest of the form, the room the picture wanders in, need not be either.
    // On Wayland the form then shows one black pixel, scaled by the compositor, as covers do.
    void leaveUnpainted(bool unpainted);

signals:
    void resized();
    void shown();
    void painted();
    void keyPressed();
    // The pointer moved over the form itself (outside its children) or over a cover. Over a child
    // the child's own event says so; the form lets through only moves to a new position.
    void mouseMoved();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    QPaintEngine *paintEngine() const override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void embedIn(HostWindow &host);
    void grabKeyboardOnce();
    void placeOnPrimaryScreen();
    // Goes to the screen that is primary now, and from then on follows its size and place.
    void followPrimaryScreen();
    void followScreens();
    int heightInDevicePixels() const;
    void coverTheRest();
    void cover(std::size_t index, const QRect &area, QScreen *screen);
    bool pointerMovedTo(const QPoint &global);

    const bool embedded_;
    QSize shape_;
    bool keyboardGrabbed_ = false;
    // Where the pointer was last seen over any of the windows.
    QPoint pointer_;
    QMetaObject::Connection primaryGeometry_;
    // Other screens first, then the bands. Hidden, not deleted, when the form hides: closing may
    // come from a cover's own event, and a window deleted while its event is delivered crashes
    // Qt. They go with the form.
    std::vector<std::unique_ptr<QWidget>> covers_;
    // The form's black on Wayland while it leaves itself unpainted.
    std::unique_ptr<BlackSurface> black_;
};
