#include "base_path.h"

QString BasePath;

QString BasePathFor(const QString &programPath)
{
    const qsizetype lastDot = programPath.lastIndexOf(QLatin1Char('.'));
    return programPath.left(lastDot + 1) + QStringLiteral("in1");
}
