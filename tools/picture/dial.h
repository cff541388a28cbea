#pragma once

#include "hauptw/globe_projection.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QString>

// Radii in pixels at scale 1, as the screen saver's live hands expect them.
namespace DialGeometry {
constexpr qreal kBezelOuter = 121; // edge of the metal rim
constexpr qreal kFace = 117;       // edge of the tinted face
constexpr qreal kHourBarInner = 102;
constexpr qreal kHourBarOuter = 112;
constexpr qreal kMinuteDots = 107;
constexpr qreal kNumerals = 90;
constexpr qreal kGlobe = DialGlobes::Radius;
} // namespace DialGeometry

struct DialStyle
{
    QColor faceCentre;
    QColor faceEdge;
    QColor caption;
};

// A clock face without hands. `globe` is a disc image already rendered at
// kGlobe * scale pixels radius.
void paintDial(QPainter &p, QPointF centre, qreal scale, const DialStyle &style, const QImage &globe);
// The face's two layers: rim, face and globe; and what lies over the globe and around it, the
// globe's rim, minute dots, hour bars and numerals.
void paintDialFace(QPainter &p, QPointF centre, qreal scale, const DialStyle &style, const QImage &globe);
void paintDialOrnaments(QPainter &p, QPointF centre, qreal scale);
// The globe image, rendered at kGlobe * scale pixels radius, where paintDialFace puts it.
void paintDialGlobe(QPainter &p, QPointF centre, qreal scale, const QImage &globe);

// Small spaced capitals centred on `centre` (its y is the baseline).
void paintCaption(QPainter &p, QPointF centre, const QString &text, const QColor &colour);

// Hands at a given time, for the icons only; the program draws its own.
void paintHands(QPainter &p, QPointF centre, qreal scale, double hours, double minutes, double seconds);

// A soft shadow that lifts the dial off the background.
void paintDialShadow(QPainter &p, QPointF centre, qreal scale);
