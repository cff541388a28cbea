#pragma once

#include "hauptw/dial_layout.h"

#include <QIcon>
#include <QImage>

// The picture with the two clock faces that the clock window draws on, at the given size in
// pixels (its own size is DialLayout::PictureSize).
QImage BackgroundPicture(const QSize &pixels = DialLayout::PictureSize);

// What shading the globes by day and night needs (see GlobeShading), made for the picture
// BackgroundPicture gives at that size: the pixels around both globes, with the share of each the
// globe's disc covers as alpha and, premultiplied in the colour, what the face lays over the
// globe; plain ARGB, its offset where it lies on the picture's pixels.
QImage GlobeLayers(const QSize &pictureSize);

// The program's icon, small and large.
QIcon ProgramIcon();
