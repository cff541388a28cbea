#pragma once

#include <QDialog>

// The settings dialog of configure mode.
class Tscreenconfig : public QDialog
{
    Q_OBJECT
public:
    explicit Tscreenconfig(QWidget *parent = nullptr);
};
