#include "repaint_output.h"

#include "windowing/image_control.h"

#include <QPainter>

#include <algorithm>

namespace {

// Points per band of the picture painted at a time, small enough for one thread.
constexpr int BandPoints = 16 * 1024;

} // namespace

RepaintOutput::RepaintOutput(ImageControl &control) : control_(control)
{
    control_.setAttribute(Qt::WA_PaintOnScreen, false);
}

void RepaintOutput::show(const QRect &pixelArea)
{
    control_.update(control_.controlArea(pixelArea));
}

void RepaintOutput::expose(const QRegion &controlRegion)
{
    QPainter painter(&control_);
    const QImage &picture = control_.picture();
    if (picture.isNull()) {
        painter.fillRect(control_.rect(), Qt::black);
        return;
    }
    const bool stretched = QSizeF(control_.size()) * control_.devicePixelRatioF() != QSizeF(picture.size());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, stretched);
    // Only the parts asked for, and in bands: drawing the whole picture clipped would still copy
    // all of it, and a large copy is handed to worker threads, waking them all.
    const double pixelsPerPoint = double(picture.width()) / control_.width();
    for (const QRect &area : controlRegion) {
        const int bandHeight = std::max(1, BandPoints / area.width());
        for (int top = area.top(); top <= area.bottom(); top += bandHeight) {
            const QRect band(area.left(), top, area.width(), std::min(bandHeight, area.bottom() + 1 - top));
            const QRectF pixels(QPointF(band.topLeft()) * pixelsPerPoint, QSizeF(band.size()) * pixelsPerPoint);
            painter.drawImage(QRectF(band), picture, pixels);
        }
    }
}
