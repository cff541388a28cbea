#include "dial_hands.h"

#include <vector>

void DialHands::prepare(const Bitmap &clean, QPoint centre, int radius)
{
    clean_ = &clean;
    scratch_.cover(clean.canvas(), clean.pictureArea());
    centre_ = centre;
    radius_ = radius;
    seconds_ = {};
    others_ = {};
}

const Sprite &DialHands::sprite(HandPart part, SecondOfDay time)
{
    const QPoint end = HandPartEnd(part, HandEndOffsets(radius_, time));
    std::optional<Kept> &kept = part == HandPart::Second ? seconds_[time % 60] : others_[int(part) - 1];
    if (!kept || kept->end != end) {
        const auto draw = [&](Canvas &canvas) { DrawHandPart(canvas, part, centre_, radius_, time); };
        kept = Kept{end, Sprite(clean_->canvas(), HandPartBounds(part, centre_, radius_, time), draw)};
    }
    return kept->sprite;
}

// The parts are laid over the bounds of the boxes on a scratch bitmap, where that costs less
// than keeping to the boxes; the pixels inside the boxes come out the same either way.
void DialHands::move(Canvas &picture, SecondOfDay from, SecondOfDay to)
{
    std::vector<QRect> boxes = from < 0 ? HandsArea(centre_, radius_, to) : MovedHandsArea(centre_, radius_, from, to);
    QRect bounds;
    for (QRect &box : boxes) {
        box &= clean_->pictureArea();
        bounds |= box;
    }
    if (bounds.isEmpty())
        return;
    Canvas &scratch = scratch_.canvas();
    scratch.copyRect(bounds, clean_->canvas(), bounds);
    for (const HandPart part : HandParts)
        scratch.overlay(sprite(part, to), bounds);
    for (const QRect &box : boxes)
        picture.copyRect(box, scratch, box);
}
