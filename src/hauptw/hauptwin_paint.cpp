#include "hauptwin.h"

#include "hauptw/dial_layout.h"
#include "hauptw/screen_text.h"
#include "hauptw/sun_position.h"

#include <tuple>

namespace {

constexpr BgrColour ScreenTextColour = 0xFFFFFF;
constexpr int ScreenTextPoints = 40;

} // namespace

void THauptwin::PaintBoxSekundePaint()
{
    if (!PatchesReady)
        return;
    // One look at the clock for both dials, so they never show different seconds.
    const SecondOfDay now = CurrentSecondOfDay();
    const bool newSecond = now != clockShown_;
    clockShown_ = now;
    paintClock(localHands_, *LocalPatch, ShiftedByHours(now, LocalOffset), localShown_);
    paintClock(utcHands_, *UtcPatch, ShiftedByHours(now, UtcOffsetInForce()), utcShown_);
    // The sun goes by the real instant, not by the hours the dials are set off by.
    if (!newSecond)
        return;
    const std::int64_t instant = CurrentEpochSecond();
    if (instant / ShadingPeriod != shadingShown_)
        shadeGlobes(instant);
}

void THauptwin::shadeGlobes(std::int64_t epochSecond)
{
    const std::array<double, 3> sun = SunDirection(epochSecond);
    for (const auto &[globe, hands, patch] :
         {std::tuple(&localGlobe_, &localHands_, LocalPatch.get()), std::tuple(&utcGlobe_, &utcHands_, UtcPatch.get())}) {
        for (const DrawnRect &area : globe->shade(*patch, sun))
            hands->redraw(bild->canvas(), *patch, area);
    }
    shadingShown_ = epochSecond / ShadingPeriod;
}

// Within one second the hands would be drawn where they are: nothing is drawn, nothing sent to
// the screen. Otherwise only the pixels around the hands that moved change, so the screen
// changes just where they were and where they go.
void THauptwin::paintClock(DialHands &hands, const Bitmap &patch, SecondOfDay time, SecondOfDay &shown)
{
    if (time == shown)
        return;
    hands.move(bild->canvas(), patch, time);
    shown = time;
}

void THauptwin::paintScreenText()
{
    const QString text = QString::fromLatin1(WithSlashedZeros(ScreenText));
    const std::optional<PicturePoint> origin = placeScreenText(text);
    if (!origin)
        return;
    bild->canvas().setBrushStyle(BrushStyle::Clear);
    bild->canvas().textOut(origin->x(), origin->y(), text);
}

std::optional<PicturePoint> THauptwin::placeScreenText(const QString &text)
{
    Canvas &canvas = bild->canvas();
    canvas.setFontName(QStringLiteral("Verdana"));
    canvas.setFontStyle({});
    canvas.setFontSize(ScreenTextPoints);
    canvas.setFontColour(ScreenTextColour);
    if (TextPlacement != TopCentre)
        return std::nullopt;
    // Centred on the picture, which is where the text is drawn, whatever the screen's width.
    return PicturePoint((bild->pictureSize().width() - canvas.textWidth(text)) / 2, DialLayout::TextTop);
}
