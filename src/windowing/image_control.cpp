#include "image_control.h"

#include "drawing/large_pages.h"
#include "windowing/display_platform.h"
#include "windowing/repaint_output.h"
#include "windowing/wayland_output.h"
#include "windowing/x_window_output.h"

#include <QAbstractEventDispatcher>
#include <QPaintEvent>

ImageControl::ImageControl(QWidget *parent)
    : QWidget(parent), output_(std::make_unique<RepaintOutput>(*this, picture_, mapping_))
{
    // The picture covers every pixel, so nothing beneath needs painting when it changes.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(HiddenPointer());
    setMouseTracking(true);
    canvas_.setDrawingListener([this] { output_->aboutToDraw(); });
    canvas_.setChangeListener([this](const DrawnRect &area) { output_->show(area); });
    // What a tick showed goes out together, once the drawing is over.
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            [this] { output_->flush(); });
}

void ImageControl::setPicture(const QSize &size, PictureSource source)
{
    pictureSize_ = size;
    source_ = std::move(source);
    picture_ = QImage();
}

QSize ImageControl::pixelsFor(const QSize &controlSize) const
{
    const QSize pixels = (QSizeF(controlSize) * pixelRatio()).toSize();
    if (pixels.width() <= MaxPixels.width() && pixels.height() <= MaxPixels.height())
        return pixels;
    return pixels.scaled(MaxPixels, Qt::KeepAspectRatio);
}

ImageControl::Placed ImageControl::place(const QRect &geometry)
{
    placed_ = geometry;
    setGeometry(geometry.translated(offsetInPoints()));
    const QSize pixels = pixelsFor(geometry.size());
    const bool kept = pixels == picture_.size() && !picture_.isNull();
    if (!kept) {
        // The old pixels go first, so two screen-sized pictures are never held at once.
        picture_ = QImage();
        if (source_ && !pixels.isEmpty() && !pictureSize_.isEmpty())
            picture_ = MovedToLargePages(source_(pixels).convertToFormat(QImage::Format_RGB32));
    }
    mapping_ = ControlMapping(geometry.size(), picture_.size(), pixelRatio());
    if (kept)
        return Placed::Unchanged;
    if (picture_.isNull())
        return Placed::Dropped;
    chooseOutput();
    canvas_.setMapping(double(picture_.width()) / pictureSize_.width());
    update();
    return Placed::MadeAfresh;
}

void ImageControl::setOffset(const QPoint &devicePixels)
{
    offset_ = devicePixels;
    if (placed_.isNull())
        return;
    const QPoint place = placed_.topLeft() + offsetInPoints();
    if (!output_->move((QPointF(place) * pixelRatio()).toPoint()))
        move(place);
}

double ImageControl::pixelRatio() const
{
    return OnWayland() ? ScreenPixelRatio(screen()) : devicePixelRatioF();
}

QPoint ImageControl::offsetInPoints() const
{
    return (QPointF(offset_) / pixelRatio()).toPoint();
}

// Straight into an X window where the server takes the picture's pixels as they are, which
// spares Qt's repaint work and its copy of the pixels. On Wayland into buffers of the program's
// own, which the compositor scales to the control: there a client has no window to put part of a
// picture into; it hands the compositor whole buffers, which the compositor may read until it
// gives them back, so the picture moves into those buffers and is drawn in the one not held.
// Through Qt's repaint otherwise: stretched pictures on X, other platforms, and a compositor
// without wp_viewporter, where Qt's own buffer for the form's surface takes the picture and the
// bands.
void ImageControl::chooseOutput()
{
    output_.reset();
    if (mapping_.pixelForPixel() && XWindowOutput::available()) {
        // A window of its own, for the server to put the pixels in.
        setAttribute(Qt::WA_NativeWindow);
        output_ = XWindowOutput::forWindow(std::uint32_t(winId()), picture_, mapping_);
    }
    if (!output_)
        output_ = WaylandOutput::forControl(*this, picture_, mapping_);
    if (!output_)
        output_ = std::make_unique<RepaintOutput>(*this, picture_, mapping_);
    setAttribute(Qt::WA_PaintOnScreen, output_->paintsWindowItself());
    emit outputChosen(output_->paintsWindowItself());
}

QPaintEngine *ImageControl::paintEngine() const
{
    return testAttribute(Qt::WA_PaintOnScreen) ? nullptr : QWidget::paintEngine();
}

void ImageControl::paintEvent(QPaintEvent *event)
{
    output_->expose(event->region());
}

void ImageControl::mouseMoveEvent(QMouseEvent *)
{
    emit mouseMoved();
}
