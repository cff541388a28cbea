#pragma once

#include "toolkit/bgr_colour.h"

#include <QFlags>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <functional>

enum class BrushStyle { Solid, Clear };

enum class FontStyle { Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8 };
Q_DECLARE_FLAGS(FontStyles, FontStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(FontStyles)

// Drawing on a picture with pen, brush and font that stay set between calls. Coordinates are
// the picture's pixels; a line or ellipse corner at (x, y) lies on the centre of that pixel.
// Every operation reports the area of the picture it may have changed to the change listener.
class Canvas
{
public:
    explicit Canvas(QImage &picture) : picture_(picture) {}
    Canvas(const Canvas &) = delete;
    Canvas &operator=(const Canvas &) = delete;

    using ChangeListener = std::function<void(const QRect &pictureArea)>;
    void setChangeListener(ChangeListener listener) { changeListener_ = std::move(listener); }

    void setPenStyle(Qt::PenStyle style) { penStyle_ = style; }
    void setPenWidth(int width) { penWidth_ = width; }
    void setPenColour(BgrColour colour) { penColour_ = colour; }
    void setBrushStyle(BrushStyle style) { brushStyle_ = style; }
    void setBrushColour(BgrColour colour) { brushColour_ = colour; }
    void setFontName(const QString &name) { fontName_ = name; }
    void setFontSize(int points) { fontPoints_ = points; }
    void setFontStyle(FontStyles styles) { fontStyles_ = styles; }
    void setFontColour(BgrColour colour) { fontColour_ = colour; }

    QPoint penPosition() const { return penPosition_; }
    void moveTo(int x, int y) { penPosition_ = QPoint(x, y); }
    void lineTo(int x, int y);
    // The ellipse inside the box from (left, top) to (right, bottom), outlined with the pen and
    // filled with the brush.
    void ellipse(int left, int top, int right, int bottom);
    // Plain pixel copy; the source area is stretched if the sizes differ.
    void copyRect(const QRect &destination, const Canvas &source, const QRect &sourceArea);

    int textWidth(const QString &text) const;
    int textHeight(const QString &text) const;
    // Draws the text with its top-left corner at (x, y); a solid brush fills the text's cell
    // first, a clear one leaves the picture between the letters.
    void textOut(int x, int y, const QString &text);
    // The area textOut(x, y, text) may change, soft edges and overhanging letters included.
    QRect textArea(int x, int y, const QString &text) const;

    // Fonts are sized for this many pixels per inch on every screen, so text keeps its size
    // and position in the picture wherever it is shown.
    static constexpr int PixelsPerInch = 96;

private:
    QFont font() const;
    void changed(const QRect &area);

    QImage &picture_;
    ChangeListener changeListener_;
    QPoint penPosition_;
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
