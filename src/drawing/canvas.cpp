#include "canvas.h"

#include "drawing/row_copy.h"
#include "drawing/sprite.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// The face that stands in wherever the requested one is not installed.
const QString FallbackFace = QStringLiteral("DejaVu Sans");

} // namespace

// Lines and ellipse corners run through pixel centres, so a 1-pixel line lies on one pixel row.
DrawnPointF ScaledCentre(PicturePointF point, double scale)
{
    return DrawnPointF((point.qt() + QPointF(0.5, 0.5)) * scale);
}

// Round caps reach as far beyond the ends as the pen's half width does beside the line. Qt
// draws a pen thinner than a pixel as one a pixel wide.
DrawnRect OutlineArea(DrawnPointF a, DrawnPointF b, double penPixels)
{
    const double reach = std::max(penPixels, 1.0) / 2 + 1;
    const QRectF box = QRectF(a.qt(), b.qt()).normalized().adjusted(-reach, -reach, reach, reach);
    return {DrawnPoint(int(std::floor(box.left())), int(std::floor(box.top()))),
            DrawnPoint(int(std::ceil(box.right())) - 1, int(std::ceil(box.bottom())) - 1)};
}

void Canvas::setMapping(double scale, DrawnPoint origin)
{
    scale_ = scale;
    origin_ = origin;
}

DrawnRect Canvas::drawnArea(const PictureRect &area) const
{
    if (area.isEmpty())
        return {};
    const DrawnPointF topLeft = scaled(area.topLeft());
    const DrawnPointF bottomRight = scaled(area.bottomRight() + PicturePoint(1, 1));
    return {DrawnPoint(int(std::floor(topLeft.x())), int(std::floor(topLeft.y()))),
            DrawnPoint(int(std::ceil(bottomRight.x())) - 1, int(std::ceil(bottomRight.y())) - 1)};
}

// Qt's smooth round caps move by a shade when their coordinates are shifted, but not when the
// painter shifts them: with the origin taken off by the painter, a shape drawn on a bitmap
// gets the very pixels it gets on the whole picture.
void Canvas::takeOriginOff(QPainter &painter) const
{
    painter.translate(-QPointF(origin_.qt()));
}

void Canvas::lineTo(int x, int y)
{
    const DrawnPointF from = ScaledCentre(penPosition_, scale_);
    const DrawnPointF to = ScaledCentre(PicturePoint(x, y), scale_);
    penPosition_ = PicturePoint(x, y);
    if (penStyle_ == Qt::NoPen)
        return;
    aboutToDraw();
    {
        QPainter painter(&picture_);
        takeOriginOff(painter);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(RgbFromBgr(penColour_)), penPixels(), penStyle_, Qt::RoundCap, Qt::RoundJoin));
        painter.drawLine(from.qt(), to.qt());
    }
    changed(OutlineArea(from, to, penPixels()));
}

void Canvas::ellipse(int left, int top, int right, int bottom)
{
    const DrawnPointF topLeft = ScaledCentre(PicturePoint(left, top), scale_);
    const DrawnPointF bottomRight = ScaledCentre(PicturePoint(right, bottom), scale_);
    aboutToDraw();
    {
        QPainter painter(&picture_);
        takeOriginOff(painter);
        painter.setRenderHint(QPainter::Antialiasing);
        if (penStyle_ == Qt::NoPen)
            painter.setPen(Qt::NoPen);
        else
            painter.setPen(QPen(QColor(RgbFromBgr(penColour_)), penPixels(), penStyle_));
        if (brushStyle_ == BrushStyle::Solid)
            painter.setBrush(QColor(RgbFromBgr(brushColour_)));
        painter.drawEllipse(QRectF(topLeft.qt(), bottomRight.qt()));
    }
    changed(OutlineArea(topLeft, bottomRight, penPixels()));
}

void Canvas::copyRect(const PictureRect &destination, const Canvas &source, const PictureRect &sourceArea)
{
    const DrawnRect target = drawnArea(destination);
    if (target.isEmpty())
        return;
    aboutToDraw();
    copyPixels(inImage(target), source, source.inImage(source.drawnArea(sourceArea)));
    changed(target);
}

void Canvas::restore(const DrawnRect &area, const Canvas &source, std::span<const Sprite *const> sprites)
{
    if (area.isEmpty())
        return;
    aboutToDraw();
    const PatchRect target = inImage(area);
    copyPixels(target, source, source.inImage(area));
    for (const Sprite *sprite : sprites)
        sprite->blendOnto(picture_, origin_, target);
    changed(area);
}

void Canvas::copyPixels(const PatchRect &targetArea, const Canvas &source, const PatchRect &fromArea)
{
    const QRect &target = targetArea.qt();
    const QRect &from = fromArea.qt();
    if (target.size() == from.size() && picture_.format() == source.picture_.format() && picture_.rect().contains(target)
        && source.picture_.rect().contains(from)) {
        // Row by row: Qt's painter would hand a large copy to worker threads, waking them all.
        const int pixelBytes = picture_.depth() / 8;
        uchar *to = picture_.scanLine(target.top()) + target.left() * pixelBytes;
        const uchar *rowFrom = source.picture_.constScanLine(from.top()) + from.left() * pixelBytes;
        const qsizetype toLine = picture_.bytesPerLine(), fromLine = source.picture_.bytesPerLine();
        CopyRows(to, toLine, rowFrom, fromLine, std::size_t(target.width()) * pixelBytes, target.height());
    } else {
        QPainter painter(&picture_);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(target, source.picture_, from);
    }
}

QFont Canvas::font(double scale) const
{
    QFont font;
    font.setFamilies({fontName_, FallbackFace});
    font.setPixelSize(qRound(fontPoints_ * PixelsPerInch / 72.0 * scale));
    font.setBold(fontStyles_.testFlag(FontStyle::Bold));
    font.setItalic(fontStyles_.testFlag(FontStyle::Italic));
    font.setUnderline(fontStyles_.testFlag(FontStyle::Underline));
    font.setStrikeOut(fontStyles_.testFlag(FontStyle::StrikeOut));
    return font;
}

int Canvas::textWidth(const QString &text) const
{
    return QFontMetrics(font()).horizontalAdvance(text);
}

// The font's line height, the same for every text, as the cell that textOut fills.
int Canvas::textHeight(const QString &) const
{
    return QFontMetrics(font()).height();
}

void Canvas::textOut(int x, int y, const QString &text)
{
    if (text.isEmpty())
        return;
    const DrawnPointF origin = scaled(PicturePointF(x, y));
    aboutToDraw();
    {
        QPainter painter(&picture_);
        takeOriginOff(painter);
        const QFont textFont = font(scale_);
        const QFontMetrics metrics(textFont);
        if (brushStyle_ == BrushStyle::Solid)
            painter.fillRect(drawnArea(PictureRect(x, y, textWidth(text), textHeight(text))).qt(),
                             QColor(RgbFromBgr(brushColour_)));
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(textFont);
        painter.setPen(QColor(RgbFromBgr(fontColour_)));
        painter.drawText(origin.qt() + QPointF(0, metrics.ascent()), text);
    }
    changed(drawnArea(textArea(x, y, text)));
}

PictureRect Canvas::textArea(int x, int y, const QString &text) const
{
    if (text.isEmpty())
        return {};
    const QFontMetrics metrics(font());
    const QRect cell(x, y, metrics.horizontalAdvance(text), metrics.height());
    const QRect ink = metrics.boundingRect(text).translated(x, y + metrics.ascent());
    return PictureRect(cell.united(ink).adjusted(-2, -2, 2, 2));
}

void Canvas::changed(const DrawnRect &area)
{
    if (!changeListener_)
        return;
    const PatchRect onImage = inImage(area) & PatchRect(picture_.rect());
    if (!onImage.isEmpty())
        changeListener_(drawnArea(onImage));
}
