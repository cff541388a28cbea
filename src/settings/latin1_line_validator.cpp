#include "latin1_line_validator.h"

QValidator::State Latin1LineValidator::validate(QString &input, int &) const
{
    for (const QChar c : input) {
        if (c.unicode() > 0xFF || c == u'\n' || c == u'\r')
            return Invalid;
    }
    return Acceptable;
}
