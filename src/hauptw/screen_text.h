#pragma once

#include <QByteArray>

// The screen text as drawn: every digit zero becomes the slashed O (0xD8 in Latin-1), so a
// call sign's zeros cannot be read as the letter O.
QByteArray WithSlashedZeros(QByteArray text);
