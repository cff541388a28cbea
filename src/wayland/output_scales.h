#pragma once

#include <QString>

// How many of its own pixels an output has to a unit of the compositor's layout, as the
// compositor says: its current mode, turned by its transform, over its logical size from
// xdg-output. At a scale of 1.5 that is 1.5, where Qt 6.4, knowing whole scales only, says 2.
// Kept up to date as outputs come, go and change. 0 where it is not known: not on Wayland, no
// xdg-output, or no output of that name.
double OutputPixelRatio(const QString &outputName);
