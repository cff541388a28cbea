#include "fixed_clock.h"

#include "hauptw/built_in_pictures.h"
#include "hauptw/clock_hands.h"
#include "support/hand_colours.h"
#include "drawing/picture_fit.h"

#include <QDir>
#include <QFile>
#include <QPointF>

#include <algorithm>
#include <cmath>

namespace {

// Debian keeps it in the folder of the machine's architecture (or, on older releases, none).
QString findFakeTimeLibrary()
{
    const QString name = QStringLiteral("faketime/libfaketime.so.1");
    if (QFile::exists(QStringLiteral("/usr/lib/") + name))
        return QStringLiteral("/usr/lib/") + name;
    for (const QFileInfo &folder : QDir(QStringLiteral("/usr/lib")).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (QFile::exists(folder.filePath() + QLatin1Char('/') + name))
            return folder.filePath() + QLatin1Char('/') + name;
    }
    return {};
}

} // namespace

const QString FakeTimeLibrary = findFakeTimeLibrary();
const QByteArray FixedClockSettings = "QX0VRT\n2\n-1\n";

QProcessEnvironment withFixedClock(QProcessEnvironment environment)
{
    environment.insert(QStringLiteral("LD_PRELOAD"), FakeTimeLibrary);
    environment.insert(QStringLiteral("FAKETIME"), QStringLiteral("@2024-01-01 10:08:30"));
    // A sanitized build would refuse to start with a library preloaded before its runtime.
    const QString sanitizerOptions = environment.value(QStringLiteral("ASAN_OPTIONS"));
    environment.insert(QStringLiteral("ASAN_OPTIONS"), sanitizerOptions + QStringLiteral(":verify_asan_link_order=0"));
    return environment;
}

namespace {

using DialLayout::LocalCentre;
using DialLayout::UtcCentre;
const QRect TextLine(256, 10, 512, 64);

int brightPixels(const QImage &image, const QRect &area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            count += std::min({qRed(pixel), qGreen(pixel), qBlue(pixel)}) > 230;
        }
    return count;
}

bool near(QRgb a, QRgb b, int tolerance)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))})
           <= tolerance;
}

// The picture as it should show on the screen, and where its points land there.
class ShownPicture
{
public:
    ShownPicture(const QRect &area)
        : rect(FitPictureInside(area.size(), DialLayout::PictureSize).translated(area.topLeft())),
          clean(BackgroundPicture(rect.size())), scale(double(rect.width()) / DialLayout::PictureSize.width())
    {
    }

    QPoint onScreen(QPointF picturePoint) const
    {
        const QPointF centre = (picturePoint + QPointF(0.5, 0.5)) * scale;
        return rect.topLeft() + QPoint(int(std::floor(centre.x())), int(std::floor(centre.y())));
    }

    // Whether a hand shows at this point of the picture. Scaled, a line lands within a screen
    // pixel of where its points map to.
    bool handAt(const QImage &screen, QPoint picturePoint) const
    {
        const int reach = scale == 1.0 ? 0 : 1;
        const QPoint point = onScreen(picturePoint);
        for (int dy = -reach; dy <= reach; ++dy)
            for (int dx = -reach; dx <= reach; ++dx)
                if (isYellow(screen.pixel(point + QPoint(dx, dy))))
                    return true;
        return false;
    }

    const QRect rect;
    const QImage clean;
    const double scale;
};

} // namespace

QStringList clockFaults(const QImage &screen, const QRect &area, QTime computerTime)
{
    const ShownPicture picture(area);
    QStringList faults;

    // Away from hands and text the screen shows the clean picture, and black around it.
    int samples = 0;
    int matching = 0;
    int notBlack = 0;
    for (int y = area.top(); y <= area.bottom(); y += 8)
        for (int x = area.left(); x <= area.right(); x += 8) {
            const QPoint point(x, y);
            if (!picture.rect.contains(point)) {
                notBlack += !near(screen.pixel(point), qRgb(0, 0, 0), 16);
                continue;
            }
            ++samples;
            matching += near(screen.pixel(point), picture.clean.pixel(point - picture.rect.topLeft()), 48);
        }
    if (matching < samples * 9 / 10)
        faults << QStringLiteral("only %1 of %2 samples show the picture").arg(matching).arg(samples);
    if (notBlack > 0)
        faults << QStringLiteral("%1 samples beside the picture are not black").arg(notBlack);

    for (const PicturePoint hub : {LocalCentre, UtcCentre})
        if (!near(screen.pixel(picture.onScreen(hub.qt())), qRgb(128, 128, 128), 8))
            faults << QStringLiteral("no grey hub at %1,%2 of the picture").arg(hub.x()).arg(hub.y());

    // The seconds run on; hour and minute stay for half a minute. The settings put the hour
    // hands three hours apart: two ahead on the left dial, one behind on the right one.
    const QTime localTime = computerTime.addSecs(2 * 3600);
    const QTime utcTime = computerTime.addSecs(-3600);
    const HandEnds local = HandEndOffsets(DialLayout::HandRadius, localTime.hour(), localTime.minute(), 0);
    const HandEnds utc = HandEndOffsets(DialLayout::HandRadius, utcTime.hour(), utcTime.minute(), 0);
    for (const PicturePoint end :
         {LocalCentre + local.minute, LocalCentre + local.hour, UtcCentre + utc.minute, UtcCentre + utc.hour,
          LocalCentre + PicturePoint(local.hour.qt() / 2), UtcCentre + PicturePoint(utc.hour.qt() / 2)})
        if (!picture.handAt(screen, end.qt()))
            faults << QStringLiteral("no hand at %1,%2 of the picture").arg(end.x()).arg(end.y());
    for (const PicturePoint wrong : {LocalCentre + utc.hour, UtcCentre + local.hour})
        if (picture.handAt(screen, wrong.qt()))
            faults << QStringLiteral("a hand at %1,%2 of the picture").arg(wrong.x()).arg(wrong.y());

    const QRect textLine(picture.onScreen(TextLine.topLeft()), picture.onScreen(TextLine.bottomRight()));
    const int added = brightPixels(screen, textLine)
                      - brightPixels(picture.clean, textLine.translated(-picture.rect.topLeft()));
    if (added < 300 * picture.scale * picture.scale)
        faults << QStringLiteral("only %1 more white pixels in the text line than in the picture").arg(added);
    return faults;
}
