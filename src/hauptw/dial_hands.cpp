#include "dial_hands.h"

#include <vector>

void DialHands::prepare(const Bitmap &clean, PicturePoint centre, int radius)
{
    clean_ = &clean;
    centre_ = centre;
    radius_ = radius;
    shown_.reset();
    seconds_ = {};
    others_ = {};
}

const Sprite &DialHands::sprite(HandPart part, const HandEnds &ends, SecondOfDay time)
{
    const PicturePoint end = HandPartEnd(part, ends);
    std::optional<Kept> &kept = part == HandPart::Second ? seconds_[time % 60] : others_[int(part) - 1];
    if (!kept || kept->end != end) {
        const auto draw = [&](Canvas &canvas) { DrawHandPart(canvas, part, centre_, ends); };
        kept = Kept{end, Sprite(clean_->canvas(), HandPartBounds(part, centre_, ends, clean_->canvas().scale()), draw)};
    }
    return kept->sprite;
}

// Each box is restored from the clean dial with the parts laid over it, so every pixel read or
// written lies in a box. Pixels are what a tick costs most, as they are no longer in the
// processor's caches a second after the last tick; a box shared by two comes out the same twice.
void DialHands::move(Canvas &picture, SecondOfDay to)
{
    const HandEnds ends = HandEndOffsets(radius_, to);
    const double scale = picture.scale();
    const std::vector<DrawnRect> boxes = shown_ ? MovedHandsArea(centre_, *shown_, ends, scale)
                                                : HandsArea(centre_, ends, scale);
    shown_ = ends;
    shownTime_ = to;
    const Parts laid = parts(ends, to);
    const DrawnRect clean = cleanArea();
    for (const DrawnRect &box : boxes)
        picture.restore(box & clean, clean_->canvas(), laid);
}

DialHands::Parts DialHands::parts(const HandEnds &ends, SecondOfDay time)
{
    Parts laid{};
    for (std::size_t part = 0; part < laid.size(); ++part)
        laid[part] = &sprite(HandParts[part], ends, time);
    return laid;
}

void DialHands::redraw(Canvas &picture, const DrawnRect &area)
{
    const DrawnRect box = area & cleanArea();
    if (box.isEmpty())
        return;
    if (shown_)
        picture.restore(box, clean_->canvas(), parts(*shown_, shownTime_));
    else
        picture.restore(box, clean_->canvas(), {});
}

DrawnRect DialHands::cleanArea() const
{
    return clean_->canvas().drawnArea(clean_->pictureArea());
}
