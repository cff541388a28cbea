#include "screen_text.h"

QByteArray WithSlashedZeros(QByteArray text)
{
    return text.replace('0', '\xD8');
}
