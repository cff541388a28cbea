#include "dial.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <numbers>

using namespace DialGeometry;

namespace {

// Unit vector for a clock position: 0 is twelve o'clock, clockwise, y down.
QPointF clockDirection(double fractionOfTurn)
{
    const double a = fractionOfTurn * 2 * std::numbers::pi;
    return {std::sin(a), -std::cos(a)};
}

QColor withAlpha(QColor c, double alpha)
{
    c.setAlphaF(alpha);
    return c;
}

} // namespace

void paintDial(QPainter &p, QPointF centre, qreal scale, const DialStyle &style, const QImage &globe)
{
    paintDialFace(p, centre, scale, style, globe);
    paintDialOrnaments(p, centre, scale);
}

void paintDialFace(QPainter &p, QPointF centre, qreal scale, const DialStyle &style, const QImage &globe)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.translate(centre);
    p.scale(scale, scale);
    p.setPen(Qt::NoPen);

    // Rim: brushed-metal grey, lit from the top left, with a darker inner lip.
    QLinearGradient rim(-kBezelOuter, -kBezelOuter, kBezelOuter, kBezelOuter);
    rim.setColorAt(0.0, QColor(128, 136, 148));
    rim.setColorAt(0.45, QColor(58, 63, 72));
    rim.setColorAt(1.0, QColor(24, 26, 31));
    p.setBrush(rim);
    p.drawEllipse(QPointF(), kBezelOuter, kBezelOuter);
    p.setBrush(QColor(6, 8, 10));
    p.drawEllipse(QPointF(), kFace + 1, kFace + 1);

    // Face: a quiet tint, a little lighter in the middle.
    QRadialGradient face(QPointF(0, -20), kFace * 1.15);
    face.setColorAt(0.0, style.faceCentre);
    face.setColorAt(1.0, style.faceEdge);
    p.setBrush(face);
    p.drawEllipse(QPointF(), kFace, kFace);
    p.restore();
    paintDialGlobe(p, centre, scale, globe);
}

void paintDialGlobe(QPainter &p, QPointF centre, qreal scale, const QImage &globe)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.translate(centre);
    p.scale(scale, scale);
    // Drawn pixel for pixel at this scale.
    p.scale(1 / scale, 1 / scale);
    p.drawImage(QPointF(-globe.width() / 2.0, -globe.height() / 2.0), globe);
    p.restore();
}

void paintDialOrnaments(QPainter &p, QPointF centre, qreal scale)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(centre);
    p.scale(scale, scale);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 40), 0.9));
    p.drawEllipse(QPointF(), kGlobe + 0.5, kGlobe + 0.5);

    // Minute dots, left out where an hour bar stands.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 242, 245, 225));
    for (int m = 0; m < 60; ++m) {
        if (m % 5 == 0)
            continue;
        p.drawEllipse(clockDirection(m / 60.0) * kMinuteDots, 1.3, 1.3);
    }

    // Hour bars.
    p.setPen(QPen(QColor(222, 52, 40), 4.2, Qt::SolidLine, Qt::FlatCap));
    for (int h = 0; h < 12; ++h) {
        const QPointF d = clockDirection(h / 12.0);
        p.drawLine(d * kHourBarInner, d * kHourBarOuter);
    }

    // Numerals, centred optically on their ink rather than their advance box.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    font.setHintingPreference(QFont::PreferNoHinting);
    const QFontMetricsF metrics(font);
    p.setFont(font);
    p.setPen(QColor(245, 246, 248, 235));
    for (int h = 1; h <= 12; ++h) {
        const QString label = QString::number(h);
        const QRectF ink = metrics.tightBoundingRect(label);
        const QPointF at = clockDirection(h / 12.0) * kNumerals;
        p.drawText(at - ink.center(), label);
    }
    p.restore();
}

void paintCaption(QPainter &p, QPointF centre, const QString &text, const QColor &colour)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 3.5);
    font.setHintingPreference(QFont::PreferNoHinting);
    const QFontMetricsF metrics(font);
    // Letter spacing also follows the last letter; leave it out when centring.
    const double width = metrics.horizontalAdvance(text) - 3.5;
    p.setFont(font);
    p.setPen(colour);
    p.drawText(QPointF(centre.x() - width / 2, centre.y()), text);

    // Fine rules either side, fading outwards.
    const double gap = 10, length = 34, y = centre.y() - metrics.capHeight() / 2;
    for (int side : {-1, 1}) {
        const double inner = centre.x() + side * (width / 2 + gap);
        const double outer = inner + side * length;
        QLinearGradient rule(inner, 0, outer, 0);
        rule.setColorAt(0, withAlpha(colour, 0.45));
        rule.setColorAt(1, withAlpha(colour, 0.0));
        p.fillRect(QRectF(std::min(inner, outer), y - 0.5, length, 1), rule);
    }
    p.restore();
}

void paintHands(QPainter &p, QPointF centre, qreal scale, double hours, double minutes, double seconds)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(centre);
    p.scale(scale, scale);
    auto hand = [&](double turn, double length, double tail, double width, const QColor &colour) {
        const QPointF d = clockDirection(turn);
        p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(-d * tail, d * length);
    };
    const QColor red(222, 52, 40), yellow(250, 204, 60);
    hand((hours + minutes / 60.0) / 12.0, 56, 10, 7, red);
    hand((minutes + seconds / 60.0) / 60.0, 88, 12, 5, red);
    hand(seconds / 60.0, 95, 18, 2, yellow);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 154, 160));
    p.drawEllipse(QPointF(), 7, 7);
    p.setBrush(QColor(70, 73, 78));
    p.drawEllipse(QPointF(), 2.5, 2.5);
    p.restore();
}

void paintDialShadow(QPainter &p, QPointF centre, qreal scale)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal reach = (kBezelOuter + 16) * scale;
    const QPointF at = centre + QPointF(0, 3 * scale);
    QRadialGradient shadow(at, reach);
    const qreal edge = kBezelOuter * scale / reach;
    shadow.setColorAt(edge - 0.04, QColor(0, 0, 0, 150));
    shadow.setColorAt(edge + 0.03, QColor(0, 0, 0, 70));
    shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawEllipse(at, reach, reach);
    p.restore();
}
