#include "bitmap.h"

#include "drawing/large_pages.h"

void Bitmap::setSize(int width, int height)
{
    // Hands restore a few rows of a bitmap from all over it.
    image_ = LargePageImage(QSize(width, height));
    canvas_.setMapping(1.0);
    pictureArea_ = PictureRect(image_.rect());
}

void Bitmap::cover(const Canvas &canvas, const PictureRect &area)
{
    const DrawnRect pixels = canvas.drawnArea(area);
    setSize(pixels.width(), pixels.height());
    canvas_.setMapping(canvas.scale(), pixels.topLeft());
    pictureArea_ = area;
}
