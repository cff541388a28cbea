#pragma once

#include "drawing/bgr_colour.h"
#include "drawing/coordinates.h"

#include <QFlags>
#include <QImage>
#include <QString>

#include <functional>
#include <span>

class QPainter;
class Sprite;

enum class BrushStyle { Solid, Clear };

// Where a line or outline through the picture point runs, drawn at the scale: a corner at whole
// (x, y) lies on the centre of that picture pixel.
DrawnPointF ScaledCentre(PicturePointF point, double scale);
// The drawn pixels that a shape outlined within the box from a to b may touch when drawn with a
// pen this many of them wide: the pen's half width, and a pixel of soft edge.
DrawnRect OutlineArea(DrawnPointF a, DrawnPointF b, double penPixels);

enum class FontStyle { Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8 };
Q_DECLARE_FLAGS(FontStyles, FontStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(FontStyles)

// Drawing on a picture with pen, brush and font that stay set between calls. Coordinates are
// the picture's own pixels; a line or ellipse corner at (x, y) lies on the centre of that pixel.
// The image drawn into holds the drawn pixels from its origin on (see coordinates.h).
// The pixels drawn into may be finer: at scale 3 every picture pixel is 3 by 3 of them, and
// pens and fonts grow with it, so a picture shown on a large screen is drawn at that screen's
// resolution rather than stretched. Every operation reports the area of its pixels it may have
// changed to the change listener.
class Canvas
{
public:
    explicit Canvas(QImage &picture) : picture_(picture) {}
    Canvas(const Canvas &) = delete;
    Canvas &operator=(const Canvas &) = delete;

    using ChangeListener = std::function<void(const DrawnRect &area)>;
    void setChangeListener(ChangeListener listener) { changeListener_ = std::move(listener); }
    // Called before a drawing call writes to the picture: the picture's owner may put its pixels
    // elsewhere first, and the call then draws there.
    using DrawingListener = std::function<void()>;
    void setDrawingListener(DrawingListener listener) { drawingListener_ = std::move(listener); }

    // Picture point (x, y) is drawn at pixel (x * scale, y * scale), which lies at that pixel
    // less the origin in the image drawn into.
    void setMapping(double scale, DrawnPoint origin = {});
    double scale() const { return scale_; }
    DrawnPoint origin() const { return origin_; }
    // The pixels that show this area of the picture, partly covered ones included.
    DrawnRect drawnArea(const PictureRect &area) const;
    // Where drawn pixels lie in the image drawn into, and back.
    PatchRect inImage(const DrawnRect &area) const { return PatchRect(area.qt().translated(-origin_.qt())); }
    DrawnRect drawnArea(const PatchRect &area) const { return DrawnRect(area.qt().translated(origin_.qt())); }

    void setPenStyle(Qt::PenStyle style) { penStyle_ = style; }
    void setPenWidth(int width) { penWidth_ = width; }
    void setPenColour(BgrColour colour) { penColour_ = colour; }
    void setBrushStyle(BrushStyle style) { brushStyle_ = style; }
    void setBrushColour(BgrColour colour) { brushColour_ = colour; }
    void setFontName(const QString &name) { fontName_ = name; }
    void setFontSize(int points) { fontPoints_ = points; }
    void setFontStyle(FontStyles styles) { fontStyles_ = styles; }
    void setFontColour(BgrColour colour) { fontColour_ = colour; }

    PicturePoint penPosition() const { return penPosition_; }
    void moveTo(int x, int y) { penPosition_ = PicturePoint(x, y); }
    void lineTo(int x, int y);
    // The ellipse inside the box from (left, top) to (right, bottom), outlined with the pen and
    // filled with the brush.
    void ellipse(int left, int top, int right, int bottom);
    // Plain pixel copy of the source's pixels for that area; stretched if the sizes differ.
    void copyRect(const PictureRect &destination, const Canvas &source, const PictureRect &sourceArea);
    // Copies the source's pixels for this area and lays the sprites, made at this canvas's
    // scale, over them: the area changes once, straight to the result.
    void restore(const DrawnRect &area, const Canvas &source, std::span<const Sprite *const> sprites);

    // In picture pixels.
    int textWidth(const QString &text) const;
    int textHeight(const QString &text) const;
    // Draws the text with its top-left corner at (x, y); a solid brush fills the text's cell
    // first, a clear one leaves the picture between the letters.
    void textOut(int x, int y, const QString &text);
    // The area of the picture textOut(x, y, text) may change, soft edges and overhanging
    // letters included.
    PictureRect textArea(int x, int y, const QString &text) const;

    // Fonts are sized for this many pixels per inch on every screen, so text keeps its size
    // and position in the picture wherever it is shown.
    static constexpr int PixelsPerInch = 96;

private:
    // The font at the given scale.
    QFont font(double scale = 1.0) const;
    DrawnPointF scaled(PicturePointF point) const { return DrawnPointF(point.qt() * scale_); }
    void takeOriginOff(QPainter &painter) const;
    double penPixels() const { return penWidth_ * scale_; }
    void copyPixels(const PatchRect &target, const Canvas &source, const PatchRect &from);
    void aboutToDraw() const
    {
        if (drawingListener_)
            drawingListener_();
    }
    void changed(const DrawnRect &area);

    QImage &picture_;
    ChangeListener changeListener_;
    DrawingListener drawingListener_;
    double scale_ = 1.0;
    DrawnPoint origin_;
    PicturePoint penPosition_;
    Qt::PenStyle penStyle_ = Qt::SolidLine;
    int penWidth_ = 1;
    BgrColour penColour_ = 0x000000;
    BrushStyle brushStyle_ = BrushStyle::Solid;
    BgrColour brushColour_ = 0xFFFFFF;
    QString fontName_ = QStringLiteral("Sans Serif");
    int fontPoints_ = 8;
    FontStyles fontStyles_;
    BgrColour fontColour_ = 0x000000;
};
