#include "hauptwin.h"

#include "hauptw/clock_hands.h"
#include "hauptw/screen_text.h"
#include "opdate/opdate.h"

namespace {

constexpr BgrColour ScreenTextColour = 0xFFFFFF;
constexpr int ScreenTextPoints = 40;
constexpr int ScreenTextTop = 10;

} // namespace

void THauptwin::PaintBoxSekundePaint()
{
    if (!PatchesReady)
        return;
    paintClock(*LocalPatch, localSquare(), LocalClockTime());
    paintClock(*UtcPatch, utcSquare(), UtcClockTime());
    paintScreenText();
}

void THauptwin::paintClock(const Bitmap &patch, const QRect &square, std::int32_t time)
{
    restore(patch, patchArea(square));
    const int radius = ClockWidth / 2;
    DrawHandsAndHub(bild->canvas(), square.topLeft() + QPoint(radius, radius), radius, time);
}

void THauptwin::restore(const Bitmap &patch, const QRect &pictureArea)
{
    bild->canvas().copyRect(pictureArea, patch.canvas(), QRect(0, 0, patch.width(), patch.height()));
}

void THauptwin::paintScreenText()
{
    const QString text = QString::fromLatin1(WithSlashedZeros(ScreenText));
    const std::optional<QPoint> origin = placeScreenText(text);
    if (!origin)
        return;
    // Drawn afresh on the clean picture, so the soft edges of the letters never pile up.
    restore(*TextPatch, TextArea);
    bild->canvas().setBrushStyle(BrushStyle::Clear);
    bild->canvas().textOut(origin->x(), origin->y(), text);
}

std::optional<QPoint> THauptwin::placeScreenText(const QString &text)
{
    Canvas &canvas = bild->canvas();
    canvas.setFontName(QStringLiteral("Verdana"));
    canvas.setFontStyle({});
    canvas.setFontSize(ScreenTextPoints);
    canvas.setFontColour(ScreenTextColour);
    if (TextPlacement != TopCentre)
        return std::nullopt;
    // Centred on the picture, which is where the text is drawn, whatever the screen's width.
    return QPoint((bild->picture().width() - canvas.textWidth(text)) / 2, ScreenTextTop);
}
