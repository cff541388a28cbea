#include "bitmap.h"

#include "drawing/large_pages.h"

void Bitmap::setSize(int width, int height)
{
    // Hands restore a few rows of a bitmap from all over it.
    image_ = LargePageImage(QSize(width, height));
    canvas_.setMapping(1.0);
    pictureArea_ = image_.rect();
}

void Bitmap::cover(const Canvas &canvas, const QRect &pictureArea)
{
    const QRect pixels = canvas.pixelArea(pictureArea);
    setSize(pixels.width(), pixels.height());
    canvas_.setMapping(canvas.scale(), canvas.origin() + pixels.topLeft());
    pictureArea_ = pictureArea;
}
