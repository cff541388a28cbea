#include "built_in_pictures.h"

#include <QImageReader>
#include <QString>

// The pictures live in the static core library, whose linker would otherwise drop them.
static void loadBuiltInPictures()
{
    Q_INIT_RESOURCE(clocksaver);
}

QImage BackgroundPicture(const QSize &pixels)
{
    loadBuiltInPictures();
    QImageReader reader(QStringLiteral(":/background.png"));
    if (pixels != DialLayout::PictureSize)
        reader.setScaledSize(pixels);
    return reader.read();
}

QIcon ProgramIcon()
{
    loadBuiltInPictures();
    QIcon icon;
    icon.addFile(QStringLiteral(":/icon32.png"));
    icon.addFile(QStringLiteral(":/clocksaver.png"));
    return icon;
}
