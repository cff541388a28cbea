#include "screenc.h"

Tscreenconfig::Tscreenconfig(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Bildschirmschoner-Einstellungen"));
}
