#pragma once
// The real program with the computer's clock fixed by libfaketime at 10:08:30 and settings that
// put local time two hours ahead (12:08) and UTC one hour behind (09:08), and what a screenshot
// of its clocks must show.

#include <QByteArray>
#include <QImage>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTime>

// Where libfaketime is installed; empty when it is not.
extern const QString FakeTimeLibrary;
extern const QByteArray FixedClockSettings;

// The environment with the clock fixed for the programs started in it.
QProcessEnvironment withFixedClock(QProcessEnvironment environment);

// What is wrong with the clocks in a screenshot where they should fill `area`, a screen or a
// host's window: the picture fitted into it with black bands around, both hubs, the hands for
// the computer's time (the fixed one unless given) with the fixed settings, the text at the top.
// Empty when nothing is.
QStringList clockFaults(const QImage &screen, const QRect &area, QTime computerTime = QTime(10, 8, 30));
