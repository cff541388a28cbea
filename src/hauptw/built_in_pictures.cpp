#include "built_in_pictures.h"

#include <QImageReader>
#include <QString>

// The pictures live in the static core library, whose linker would otherwise drop them.
static void loadBuiltInPictures()
{
    Q_INIT_RESOURCE(clocksaver);
}

namespace {

// The same picture drawn at 2880x2160, as a 4K screen shows it. Below 75 quality the reader
// decodes a JPEG at a half, a quarter or an eighth of its size straight away, so a 1920x1080
// screen's 1440x1080 costs neither a full-size decode nor a scaling pass.
const QSize LargeSize(2880, 2160);
constexpr int DecodeReducedQuality = 49;

} // namespace

QImage BackgroundPicture(const QSize &pixels)
{
    loadBuiltInPictures();
    // Scaled down, never up, wherever a picture large enough is built in; beyond 2880x2160
    // (screens above 4K) the large one is stretched.
    const bool large = pixels.width() > DialLayout::PictureSize.width();
    QImageReader reader(large ? QStringLiteral(":/background_large.jpg") : QStringLiteral(":/background.png"));
    if (pixels != (large ? LargeSize : DialLayout::PictureSize)) {
        reader.setScaledSize(pixels);
        reader.setQuality(DecodeReducedQuality);
    }
    return reader.read();
}

QImage GlobeLayers(const QSize &pictureSize)
{
    loadBuiltInPictures();
    const bool large = pictureSize.width() > DialLayout::PictureSize.width();
    QImage layers = QImage(large ? QStringLiteral(":/globe_layers_large.png") : QStringLiteral(":/globe_layers.png"))
                        .convertToFormat(QImage::Format_ARGB32);
    const double scale = double(pictureSize.width()) / (large ? LargeSize : DialLayout::PictureSize).width();
    if (scale == 1.0)
        return layers;
    // Scaled channel by channel, alpha like the others: as premultiplied pixels are, whatever
    // the values.
    layers.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
    const QPointF offset = QPointF(layers.offset()) * scale;
    QImage scaled = layers.scaled((QSizeF(layers.size()) * scale).toSize(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    scaled.reinterpretAsFormat(QImage::Format_ARGB32);
    scaled.setOffset(offset.toPoint());
    return scaled;
}

QIcon ProgramIcon()
{
    loadBuiltInPictures();
    QIcon icon;
    icon.addFile(QStringLiteral(":/icon32.png"));
    icon.addFile(QStringLiteral(":/clocksaver.png"));
    return icon;
}
