#pragma once

#include <QWidget>

// The clock screen of show mode.
class THauptwin : public QWidget
{
    Q_OBJECT
public:
    explicit THauptwin(QWidget *parent = nullptr);
};
