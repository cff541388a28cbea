#include "screenc.h"

#include "ui_screenc.h"

#include <algorithm>

// The design places its controls for "MS Sans Serif"; the font standing in for it draws most
// captions wider. Every label takes its caption's size, and the right-hand column (the two
// difference boxes, the buttons and the corner marker Label5) moves right, and ename widens, by
// as much as the most grown label needs, so every gap and margin of the design stays. The client
// area is then the controls' bounding box, as in the design.
void Tscreenconfig::fitToCaptions()
{
    int growth = 0;
    for (QLabel *label : {ui_->Label3, ui_->Label4, ui_->Label1, ui_->Label2}) {
        const QSize caption = label->sizeHint();
        growth = std::max(growth, caption.width() - label->width());
        label->resize(caption.width(), std::max(caption.height(), label->height()));
    }
    const std::initializer_list<QWidget *> rightColumn = {ui_->eLocal, ui_->eUTC, ui_->btnOK, ui_->Button2, ui_->Label5};
    for (QWidget *control : rightColumn)
        control->move(control->x() + growth, control->y());
    ui_->ename->resize(ui_->ename->width() + growth, ui_->ename->height());

    const QRect controls = childrenRect();
    setFixedSize(controls.x() + controls.width(), controls.y() + controls.height());
}
