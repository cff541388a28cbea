#include "built_in_pictures.h"

#include <QString>

// The pictures live in the static core library, whose linker would otherwise drop them.
static void loadBuiltInPictures()
{
    Q_INIT_RESOURCE(clocksaver);
}

QImage BackgroundPicture()
{
    loadBuiltInPictures();
    return QImage(QStringLiteral(":/background.png"));
}

QIcon ProgramIcon()
{
    loadBuiltInPictures();
    QIcon icon;
    icon.addFile(QStringLiteral(":/icon32.png"));
    icon.addFile(QStringLiteral(":/clocksaver.png"));
    return icon;
}
