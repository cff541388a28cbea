#include "canvas.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

// Lines and ellipse corners run through pixel centres, so a 1-pixel line lies on one pixel row.
QPointF pixelCentre(int x, int y)
{
    return {x + 0.5, y + 0.5};
}

// Room around a drawn shape for the pen's half width, round caps and soft edges.
int penMargin(int penWidth)
{
    return penWidth / 2 + 2;
}

// The face that stands in wherever the requested one is not installed.
const QString FallbackFace = QStringLiteral("DejaVu Sans");

} // namespace

void Canvas::lineTo(int x, int y)
{
    const QPoint from = penPosition_;
    penPosition_ = QPoint(x, y);
    if (penStyle_ == Qt::NoPen)
        return;
    {
        QPainter painter(&picture_);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(RgbFromBgr(penColour_)), penWidth_, penStyle_, Qt::RoundCap, Qt::RoundJoin));
        painter.drawLine(pixelCentre(from.x(), from.y()), pixelCentre(x, y));
    }
    const int margin = penMargin(penWidth_);
    changed(QRect(from, penPosition_).normalized().adjusted(-margin, -margin, margin, margin));
}

void Canvas::ellipse(int left, int top, int right, int bottom)
{
    {
        QPainter painter(&picture_);
        painter.setRenderHint(QPainter::Antialiasing);
        if (penStyle_ == Qt::NoPen)
            painter.setPen(Qt::NoPen);
        else
            painter.setPen(QPen(QColor(RgbFromBgr(penColour_)), penWidth_, penStyle_));
        if (brushStyle_ == BrushStyle::Solid)
            painter.setBrush(QColor(RgbFromBgr(brushColour_)));
        painter.drawEllipse(QRectF(pixelCentre(left, top), pixelCentre(right, bottom)));
    }
    const int margin = penMargin(penWidth_);
    changed(QRect(QPoint(left, top), QPoint(right, bottom)).normalized().adjusted(-margin, -margin, margin, margin));
}

void Canvas::copyRect(const QRect &destination, const Canvas &source, const QRect &sourceArea)
{
    if (destination.isEmpty())
        return;
    {
        QPainter painter(&picture_);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(destination, source.picture_, sourceArea);
    }
    changed(destination);
}

QFont Canvas::font() const
{
    QFont font;
    font.setFamilies({fontName_, FallbackFace});
    font.setPixelSize(qRound(fontPoints_ * PixelsPerInch / 72.0));
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
    {
        QPainter painter(&picture_);
        const QFont textFont = font();
        const QFontMetrics metrics(textFont);
        if (brushStyle_ == BrushStyle::Solid)
            painter.fillRect(QRect(x, y, metrics.horizontalAdvance(text), metrics.height()),
                             QColor(RgbFromBgr(brushColour_)));
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(textFont);
        painter.setPen(QColor(RgbFromBgr(fontColour_)));
        painter.drawText(QPoint(x, y + metrics.ascent()), text);
    }
    changed(textArea(x, y, text));
}

QRect Canvas::textArea(int x, int y, const QString &text) const
{
    if (text.isEmpty())
        return {};
    const QFontMetrics metrics(font());
    const QRect cell(x, y, metrics.horizontalAdvance(text), metrics.height());
    const QRect ink = metrics.boundingRect(text).translated(x, y + metrics.ascent());
    return cell.united(ink).adjusted(-2, -2, 2, 2);
}

void Canvas::changed(const QRect &area)
{
    const QRect onPicture = area.intersected(picture_.rect());
    if (changeListener_ && !onPicture.isEmpty())
        changeListener_(onPicture);
}
