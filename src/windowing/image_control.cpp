#include "image_control.h"

#include "drawing/large_pages.h"
#include "windowing/display_platform.h"

#include <QAbstractEventDispatcher>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Points per band of the picture painted at a time, small enough for one thread.
constexpr int BandPoints = 16 * 1024;

} // namespace

ImageControl::ImageControl(QWidget *parent) : QWidget(parent)
{
    // The picture covers every pixel, so nothing beneath needs painting when it changes.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(HiddenPointer());
    setMouseTracking(true);
    canvas_.setChangeListener([this](const QRect &area) { showPixels(area); });
    // A window of its own, which the picture's pixels can be sent to directly. What was sent
    // goes out before the program sleeps.
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        setAttribute(Qt::WA_NativeWindow);
        connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this, [this] {
            if (flushPending_)
                xOutput_->flush();
            flushPending_ = false;
        });
    }
}

void ImageControl::setPicture(const QSize &size, PictureSource source)
{
    pictureSize_ = size;
    source_ = std::move(source);
    picture_ = QImage();
}

QSize ImageControl::pixelsFor(const QSize &controlSize) const
{
    const QSize pixels = (QSizeF(controlSize) * devicePixelRatioF()).toSize();
    if (pixels.width() <= MaxPixels.width() && pixels.height() <= MaxPixels.height())
        return pixels;
    return pixels.scaled(MaxPixels, Qt::KeepAspectRatio);
}

bool ImageControl::place(const QRect &geometry)
{
    setGeometry(geometry);
    const QSize pixels = pixelsFor(geometry.size());
    if (pixels == picture_.size() && !picture_.isNull())
        return false;
    if (!source_ || pixels.isEmpty() || pictureSize_.isEmpty()) {
        picture_ = QImage();
        return false;
    }
    // The old pixels go first, so two screen-sized pictures are never held at once.
    picture_ = QImage();
    picture_ = MovedToLargePages(source_(pixels).convertToFormat(QImage::Format_RGB32));
    chooseOutput(picture_.size());
    canvas_.setMapping(double(picture_.width()) / pictureSize_.width());
    update();
    return true;
}

void ImageControl::chooseOutput(const QSize &pictureSize)
{
    const bool unstretched = QSizeF(size()) * devicePixelRatioF() == QSizeF(pictureSize);
    if (unstretched && !xOutput_ && testAttribute(Qt::WA_NativeWindow))
        xOutput_ = XWindowOutput::forWindow(winId());
    direct_ = unstretched && xOutput_;
    setAttribute(Qt::WA_PaintOnScreen, direct_);
}

// Sent to the X window at once, the pixels need none of Qt's repaint work; the requests go out
// together once the drawing is over.
void ImageControl::showPixels(const QRect &pixelArea)
{
    if (!direct_) {
        update(controlArea(pixelArea));
        return;
    }
    xOutput_->put(picture_, pixelArea);
    flushPending_ = true;
}

QPaintEngine *ImageControl::paintEngine() const
{
    return direct_ ? nullptr : QWidget::paintEngine();
}

QRect ImageControl::controlArea(const QRect &pixelArea) const
{
    if (picture_.isNull() || pixelArea.isEmpty())
        return {};
    const double scale = double(width()) / picture_.width();
    // Where the picture is stretched, each screen pixel blends its picture neighbours too.
    const int margin = scale * devicePixelRatioF() > 1.0 ? int(std::ceil(scale)) + 1 : 0;
    const int left = int(std::floor(pixelArea.left() * scale)) - margin;
    const int top = int(std::floor(pixelArea.top() * scale)) - margin;
    const int right = int(std::ceil((pixelArea.right() + 1) * scale)) + margin;
    const int bottom = int(std::ceil((pixelArea.bottom() + 1) * scale)) + margin;
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)).intersected(rect());
}

QRect ImageControl::pixelArea(const QRect &controlArea) const
{
    const double ratio = devicePixelRatioF();
    const QPoint topLeft(int(std::floor(controlArea.left() * ratio)), int(std::floor(controlArea.top() * ratio)));
    const QPoint end(int(std::ceil((controlArea.right() + 1) * ratio)), int(std::ceil((controlArea.bottom() + 1) * ratio)));
    return QRect(topLeft, end - QPoint(1, 1));
}

void ImageControl::paintEvent(QPaintEvent *event)
{
    if (direct_) {
        for (const QRect &area : event->region())
            xOutput_->put(picture_, pixelArea(area));
        xOutput_->flush();
        return;
    }
    QPainter painter(this);
    if (picture_.isNull()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    const bool stretched = QSizeF(size()) * devicePixelRatioF() != QSizeF(picture_.size());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, stretched);
    // Only the parts asked for, and in bands: drawing the whole picture clipped would still copy
    // all of it, and a large copy is handed to worker threads, waking them all.
    const double pixelsPerPoint = double(picture_.width()) / width();
    for (const QRect &area : event->region()) {
        const int bandHeight = std::max(1, BandPoints / area.width());
        for (int top = area.top(); top <= area.bottom(); top += bandHeight) {
            const QRect band(area.left(), top, area.width(), std::min(bandHeight, area.bottom() + 1 - top));
            const QRectF pixels(QPointF(band.topLeft()) * pixelsPerPoint, QSizeF(band.size()) * pixelsPerPoint);
            painter.drawImage(QRectF(band), picture_, pixels);
        }
    }
}

void ImageControl::mouseMoveEvent(QMouseEvent *)
{
    emit mouseMoved();
}
