#include "usage.h"

#include "usage_text.h"

bool IsHelpRequest(const QStringList &arguments)
{
    const QString first = arguments.value(1);
    return first == QLatin1String("--help") || first == QLatin1String("-h");
}

bool IsVersionRequest(const QStringList &arguments)
{
    return arguments.value(1) == QLatin1String("--version");
}

QString UsageText(const QString &programName, const QString &basePath)
{
    return QStringLiteral("Usage: %1 %2\n%3\nFor this user now:\nSettings file: %4.ini\nLock file:     %4 (exists while a "
                          "copy runs)\n")
        .arg(programName, QLatin1String(UsageArguments), QString::fromUtf8(UsageBody), basePath);
}
