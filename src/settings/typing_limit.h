#pragma once

#include <QString>

class QLineEdit;

// Puts a text into an edit box whole, even when it is longer than the box's maximum length
// (which Qt would cut). The maximum length then limits only typing: nothing can be added while
// the text is that long, and once the user has shortened it the box's own limit holds again.
// Call once per box.
void ShowTextWhole(QLineEdit *edit, const QString &text);
