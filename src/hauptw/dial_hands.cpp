#include "dial_hands.h"

#include <vector>

namespace {

// The clean dial's pixels: none for a bitmap not yet taken from the picture.
DrawnRect cleanArea(const Bitmap &clean)
{
    return clean.canvas().drawnArea(clean.pictureArea());
}

} // namespace

void DialHands::prepare(PicturePoint centre, int radius)
{
    centre_ = centre;
    radius_ = radius;
    shown_.reset();
    seconds_ = {};
    others_ = {};
}

const Sprite &DialHands::sprite(const Canvas &like, HandPart part, const HandEnds &ends, SecondOfDay time)
{
    const PicturePoint end = HandPartEnd(part, ends);
    std::optional<Kept> &kept = part == HandPart::Second ? seconds_[time % 60] : others_[int(part) - 1];
    if (!kept || kept->end != end) {
        const auto draw = [&](Canvas &canvas) { DrawHandPart(canvas, part, centre_, ends); };
        kept = Kept{end, Sprite(like, HandPartBounds(part, centre_, ends, like.scale()), draw)};
    }
    return kept->sprite;
}

// Each box is restored from the clean dial with the parts laid over it, so every pixel read or
// written lies in a box. Pixels are what a tick costs most, as they are no longer in the
// processor's caches a second after the last tick; a box shared by two comes out the same twice.
void DialHands::move(Canvas &picture, const Bitmap &clean, SecondOfDay to)
{
    const DrawnRect dial = cleanArea(clean);
    if (dial.isEmpty())
        return;
    const HandEnds ends = HandEndOffsets(radius_, to);
    const double scale = picture.scale();
    const std::vector<DrawnRect> boxes = shown_ ? MovedHandsArea(centre_, *shown_, ends, scale)
                                                : HandsArea(centre_, ends, scale);
    shown_ = ends;
    shownTime_ = to;
    const Parts laid = parts(clean.canvas(), ends, to);
    for (const DrawnRect &box : boxes)
        picture.restore(box & dial, clean.canvas(), laid);
}

DialHands::Parts DialHands::parts(const Canvas &like, const HandEnds &ends, SecondOfDay time)
{
    Parts laid{};
    for (std::size_t part = 0; part < laid.size(); ++part)
        laid[part] = &sprite(like, HandParts[part], ends, time);
    return laid;
}

void DialHands::redraw(Canvas &picture, const Bitmap &clean, const DrawnRect &area)
{
    const DrawnRect box = area & cleanArea(clean);
    if (box.isEmpty())
        return;
    if (shown_)
        picture.restore(box, clean.canvas(), parts(clean.canvas(), *shown_, shownTime_));
    else
        picture.restore(box, clean.canvas(), {});
}
