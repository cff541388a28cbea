#include "bitmap.h"

void Bitmap::setSize(int width, int height)
{
    image_ = QImage(width, height, QImage::Format_RGB32);
    image_.fill(Qt::black);
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
