#include "control_mapping.h"

#include <cmath>

ControlRect ControlMapping::controlArea(const DrawnRect &area) const
{
    if (pixels_.isEmpty() || area.isEmpty())
        return {};
    const double scale = double(points_.width()) / pixels_.width();
    // Where the picture is stretched, each screen pixel blends its picture neighbours too.
    const int margin = scale * ratio_ > 1.0 ? int(std::ceil(scale)) + 1 : 0;
    const int left = int(std::floor(area.left() * scale)) - margin;
    const int top = int(std::floor(area.top() * scale)) - margin;
    const int right = int(std::ceil((area.right() + 1) * scale)) + margin;
    const int bottom = int(std::ceil((area.bottom() + 1) * scale)) + margin;
    return ControlRect(ControlPoint(left, top), ControlPoint(right - 1, bottom - 1)) & bounds();
}

DrawnRect ControlMapping::drawnArea(const ControlRect &area) const
{
    const DrawnPoint topLeft(int(std::floor(area.left() * ratio_)), int(std::floor(area.top() * ratio_)));
    const DrawnPoint end(int(std::ceil((area.right() + 1) * ratio_)), int(std::ceil((area.bottom() + 1) * ratio_)));
    return DrawnRect(topLeft, end - DrawnPoint(1, 1));
}
