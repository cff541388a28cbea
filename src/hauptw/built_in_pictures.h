#pragma once

#include <QIcon>
#include <QImage>

// The 1024 by 768 picture with the two clock faces that the clock window draws on.
QImage BackgroundPicture();

// The program's icon, small and large.
QIcon ProgramIcon();
