#include "watch_time.h"

#include <QRegularExpression>

std::optional<std::chrono::seconds> ParseWatchTime(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{1,5})(s?)$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int count = match.captured(1).toInt();
    const std::chrono::seconds time = match.captured(2).isEmpty() ? std::chrono::minutes(count)
                                                                  : std::chrono::seconds(count);
    if (count == 0 || time > std::chrono::hours(24))
        return std::nullopt;
    return time;
}
