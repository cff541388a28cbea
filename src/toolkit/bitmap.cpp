#include "bitmap.h"

void Bitmap::setSize(int width, int height)
{
    image_ = QImage(width, height, QImage::Format_RGB32);
    image_.fill(Qt::black);
}
