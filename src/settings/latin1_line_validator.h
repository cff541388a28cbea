#pragma once

#include <QValidator>

// Accepts only what one line of the settings file can hold: Latin-1 characters, which map one
// to one to the file's bytes, and no line break.
class Latin1LineValidator : public QValidator
{
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString &input, int &position) const override;
};
