#pragma once

#include <QString>

// The lock file's path; the settings file is this path followed by ".ini". Set once at start.
extern QString BasePath;

// The program path cut after its last "." with "in1" appended: /opt/x/clocksaver.scr gives
// /opt/x/clocksaver.in1. Without any dot it is just "in1", relative to the current folder.
QString BasePathFor(const QString &programPath);
