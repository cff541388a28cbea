#pragma once

#include <QImage>

// The night landscape behind the dials: sky, stars, moon, mountains, a still
// lake and a wooded shore. Paints the whole image, which must be RGBX64: the
// dark gradients need more than 8 bits until they are dithered at the end.
// The scene is laid out for 1024x768; the image is `scale` times that size.
void paintScene(QImage &image, double scale);
