#pragma once

#include <QString>

#include <chrono>
#include <optional>

// How long the user must be idle before the clocks show: whole minutes ("10"), or seconds with
// an s ("20s") for trying it out. Nothing for anything else, zero, or more than a day.
std::optional<std::chrono::seconds> ParseWatchTime(const QString &text);
