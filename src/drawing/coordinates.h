#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>

// Points and areas of one coordinate space, told apart by a tag type: one space's point or area
// is no other's, so passing it where another is meant does not compile. Between spaces only the
// object that knows the mapping converts. Qt's own types come in and go out explicitly, at the
// edges: painting, events, Qt's calls.
template<typename Space>
class Point
{
public:
    constexpr Point() = default;
    constexpr Point(int x, int y) : p_(x, y) {}
    constexpr explicit Point(QPoint qt) : p_(qt) {}

    constexpr int x() const { return p_.x(); }
    constexpr int y() const { return p_.y(); }
    constexpr QPoint qt() const { return p_; }

    constexpr Point &operator+=(Point other) { return p_ += other.p_, *this; }
    constexpr Point &operator-=(Point other) { return p_ -= other.p_, *this; }
    friend constexpr Point operator+(Point a, Point b) { return Point(a.p_ + b.p_); }
    friend constexpr Point operator-(Point a, Point b) { return Point(a.p_ - b.p_); }
    friend constexpr Point operator-(Point a) { return Point(-a.p_); }
    friend constexpr bool operator==(Point a, Point b) { return a.p_ == b.p_; }

private:
    QPoint p_;
};

// A point between whole ones, as a line runs through them.
template<typename Space>
class PointF
{
public:
    constexpr PointF() = default;
    constexpr PointF(double x, double y) : p_(x, y) {}
    constexpr PointF(Point<Space> whole) : p_(whole.qt()) {}
    constexpr explicit PointF(QPointF qt) : p_(qt) {}

    constexpr double x() const { return p_.x(); }
    constexpr double y() const { return p_.y(); }
    constexpr QPointF qt() const { return p_; }

    friend constexpr PointF operator+(PointF a, PointF b) { return PointF(a.p_ + b.p_); }
    friend constexpr PointF operator-(PointF a, PointF b) { return PointF(a.p_ - b.p_); }
    friend constexpr PointF operator*(PointF a, double factor) { return PointF(a.p_ * factor); }
    friend constexpr PointF operator/(PointF a, double divisor) { return PointF(a.p_ / divisor); }

private:
    QPointF p_;
};

// Whole pixels or points: right() and bottom() are the last ones inside, as with QRect.
template<typename Space>
class Rect
{
public:
    constexpr Rect() = default;
    constexpr Rect(int left, int top, int width, int height) : r_(left, top, width, height) {}
    constexpr Rect(Point<Space> topLeft, Point<Space> bottomRight) : r_(topLeft.qt(), bottomRight.qt()) {}
    constexpr Rect(Point<Space> topLeft, QSize size) : r_(topLeft.qt(), size) {}
    constexpr explicit Rect(const QRect &qt) : r_(qt) {}

    constexpr bool isEmpty() const { return r_.isEmpty(); }
    constexpr bool isNull() const { return r_.isNull(); }
    constexpr int left() const { return r_.left(); }
    constexpr int top() const { return r_.top(); }
    constexpr int right() const { return r_.right(); }
    constexpr int bottom() const { return r_.bottom(); }
    constexpr int width() const { return r_.width(); }
    constexpr int height() const { return r_.height(); }
    constexpr QSize size() const { return r_.size(); }
    constexpr Point<Space> topLeft() const { return Point<Space>(r_.topLeft()); }
    constexpr Point<Space> bottomRight() const { return Point<Space>(r_.bottomRight()); }
    constexpr const QRect &qt() const { return r_; }

    constexpr Rect translated(Point<Space> by) const { return Rect(r_.translated(by.qt())); }
    constexpr Rect adjusted(int left, int top, int right, int bottom) const
    {
        return Rect(r_.adjusted(left, top, right, bottom));
    }
    Rect normalized() const { return Rect(r_.normalized()); }
    bool contains(Point<Space> point) const { return r_.contains(point.qt()); }
    bool contains(const Rect &other) const { return r_.contains(other.r_); }

    Rect &operator&=(const Rect &other) { return r_ &= other.r_, *this; }
    Rect &operator|=(const Rect &other) { return r_ |= other.r_, *this; }
    friend Rect operator&(const Rect &a, const Rect &b) { return Rect(a.r_ & b.r_); }
    friend Rect operator|(const Rect &a, const Rect &b) { return Rect(a.r_ | b.r_); }
    friend constexpr bool operator==(const Rect &a, const Rect &b) { return a.r_ == b.r_; }

private:
    QRect r_;
};

// The picture's own pixels (1024x768 for the built-in one), whatever the screen: layout, text
// and hand end points.
struct PictureSpace;
using PicturePoint = Point<PictureSpace>;
using PicturePointF = PointF<PictureSpace>;
using PictureRect = Rect<PictureSpace>;

// The pixels of the picture as drawn for the screen, at a canvas's scale, counted from the whole
// picture's top-left corner: device pixels where the picture is shown pixel for pixel.
struct DrawnSpace;
using DrawnPoint = Point<DrawnSpace>;
using DrawnPointF = PointF<DrawnSpace>;
using DrawnRect = Rect<DrawnSpace>;

// The pixels of a canvas's own image, counted from its top-left corner: the drawn pixels with the
// canvas's origin taken off. A patch of the picture, or a sprite's layer, starts elsewhere than
// the picture does.
struct PatchSpace;
using PatchPoint = Point<PatchSpace>;
using PatchRect = Rect<PatchSpace>;
