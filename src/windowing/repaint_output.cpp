#include "repaint_output.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace {

// Points per band of the picture painted at a time, small enough for one thread.
constexpr int BandPoints = 16 * 1024;

} // namespace

void RepaintOutput::show(const DrawnRect &area)
{
    window_.update(mapping_.controlArea(area).qt());
}

void RepaintOutput::expose(const QRegion &controlRegion)
{
    QPainter painter(&window_);
    if (picture_.isNull()) {
        painter.fillRect(window_.rect(), Qt::black);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, !mapping_.pixelForPixel());
    // Only the parts asked for, and in bands: drawing the whole picture clipped would still copy
    // all of it, and a large copy is handed to worker threads, waking them all.
    const double pixelsPerPoint = mapping_.pixelsPerPoint();
    for (const QRect &area : controlRegion) {
        const int bandHeight = std::max(1, BandPoints / area.width());
        for (int top = area.top(); top <= area.bottom(); top += bandHeight) {
            const QRect band(area.left(), top, area.width(), std::min(bandHeight, area.bottom() + 1 - top));
            const QRectF pixels(QPointF(band.topLeft()) * pixelsPerPoint, QSizeF(band.size()) * pixelsPerPoint);
            painter.drawImage(QRectF(band), picture_, pixels);
        }
    }
}
