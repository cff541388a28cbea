#include "failure_report.h"

#include <cstdio>

void ReportFailure(const QString &reason)
{
    std::fprintf(stderr, "clocksaver: %s\n", qPrintable(reason));
}
