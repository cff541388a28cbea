#pragma once

#include "drawing/canvas.h"
#include "windowing/control_mapping.h"
#include "windowing/picture_output.h"

#include <QImage>
#include <QSize>
#include <QWidget>

#include <functional>
#include <memory>

// Shows a picture filling its own size, with no mouse pointer over it. The picture is made for
// the pixels the control covers on the screen (device pixels on a HiDPI screen), so it is drawn
// on at the screen's resolution; its canvas still takes the picture's own coordinates. Drawing
// there shows on screen by itself: what a drawing call changed is repainted, nothing else.
// On an X server the pixels go from the picture straight into the control's own window; Qt keeps
// no copy of them.
class ImageControl : public QWidget
{
    Q_OBJECT
public:
    // The picture, with the given content, at the given size in pixels.
    using PictureSource = std::function<QImage(const QSize &pixels)>;

    // Screens larger than this get the picture at this size, stretched the rest of the way:
    // beyond 8K a finer picture costs more memory than anyone can see.
    static constexpr QSize MaxPixels{7680, 4320};

    explicit ImageControl(QWidget *parent = nullptr);

    // `size` is the picture's own size, the space its canvas draws in. The picture is made
    // when the control is placed.
    void setPicture(const QSize &size, PictureSource source);
    // What placing the control did to its picture: the picture as it was, one made afresh
    // (clean, with all drawing on the old one gone), or none at all, where there is nothing to
    // make it for (no pixels to cover, no picture set).
    enum class Placed { Unchanged, MadeAfresh, Dropped };
    // Puts the control there, in its parent's points, moved by the offset; if that changes the
    // pixels it covers, makes the picture afresh for them.
    Placed place(const QRect &geometry);
    // Moves the control this many device pixels (whole points where a point has several) from
    // where it is placed. The picture stays as drawn: in a window of its own, the X server
    // moves its pixels on the screen.
    void setOffset(const QPoint &devicePixels);

    QSize pictureSize() const { return pictureSize_; }
    // The pixels as drawn.
    const QImage &picture() const { return picture_; }
    Canvas &canvas() { return canvas_; }
    // Which of the control's points show which drawn pixels, as it was last placed.
    const ControlMapping &mapping() const { return mapping_; }

signals:
    void mouseMoved();
    // The control chose how its pixels reach the screen, each time its picture is made afresh;
    // where they go straight into a window of its own, Qt paints none of the control.
    void outputChosen(bool paintsOwnWindow);

protected:
    QPaintEngine *paintEngine() const override;
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QSize pixelsFor(const QSize &controlSize) const;
    QPoint offsetInPoints() const;
    // Device pixels to a point where the control shows.
    double pixelRatio() const;
    // The one place that decides how the pixels reach the screen.
    void chooseOutput();

    QRect placed_;
    QPoint offset_;
    QSize pictureSize_;
    PictureSource source_;
    QImage picture_;
    Canvas canvas_{picture_};
    ControlMapping mapping_;
    // Reads picture_ and mapping_; on Wayland it also moves picture_ into memory it shares.
    std::unique_ptr<PictureOutput> output_;
};
