#include "typing_limit.h"

#include <QLineEdit>

#include <algorithm>

void ShowTextWhole(QLineEdit *edit, const QString &text)
{
    const int typingLimit = edit->maxLength();
    if (text.size() <= typingLimit) {
        edit->setText(text);
        return;
    }
    edit->setMaxLength(static_cast<int>(text.size()));
    edit->setText(text);
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit, typingLimit] {
        const int allowed = std::max(typingLimit, static_cast<int>(edit->text().size()));
        if (edit->maxLength() <= allowed)
            return;
        // Qt puts the text in again when the limit changes, which moves the cursor to the end.
        const int cursor = edit->cursorPosition();
        edit->setMaxLength(allowed);
        edit->setCursorPosition(cursor);
    });
}
