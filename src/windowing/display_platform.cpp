#include "display_platform.h"

#include <QPixmap>
#include <QGuiApplication>

bool OnWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

QCursor HiddenPointer()
{
    if (!OnWayland())
        return Qt::BlankCursor;
    // An image: Qt's Wayland plugin sends only those, not black-and-white bitmaps with a mask.
    QPixmap nothing(16, 16);
    nothing.fill(Qt::transparent);
    return QCursor(nothing);
}

void SkipWaylandWindowFrames()
{
    if (qEnvironmentVariableIsEmpty("QT_WAYLAND_DISABLE_WINDOWDECORATION"))
        qputenv("QT_WAYLAND_DISABLE_WINDOWDECORATION", QByteArrayLiteral("1"));
}
