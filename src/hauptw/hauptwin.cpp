#include "hauptwin.h"

THauptwin::THauptwin(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Hauptwin"));
}
