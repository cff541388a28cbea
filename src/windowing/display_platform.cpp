#include "display_platform.h"

#include "wayland/output_scales.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

bool OnWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

double ScreenPixelRatio(const QScreen *screen)
{
    if (!screen)
        return 1.0;
    const double real = OnWayland() ? OutputPixelRatio(screen->name()) : 0.0;
    return real > 0 ? real : screen->devicePixelRatio();
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
