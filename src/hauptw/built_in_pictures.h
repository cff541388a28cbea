#pragma once

#include "hauptw/dial_layout.h"

#include <QIcon>
#include <QImage>

// The picture with the two clock faces that the clock window draws on, at the given size in
// pixels (its own size is DialLayout::PictureSize).
QImage BackgroundPicture(const QSize &pixels = DialLayout::PictureSize);

// The program's icon, small and large.
QIcon ProgramIcon();
