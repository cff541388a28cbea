#pragma once

#include "toolkit/canvas.h"

#include <QImage>
#include <QRegion>
#include <QWidget>

// Shows its picture stretched to its own size, with no mouse pointer over it. Drawing on its
// canvas shows on screen by itself: once the drawing calls of the moment are done, only the
// parts of the picture whose pixels really changed are repainted.
class ImageControl : public QWidget
{
    Q_OBJECT
public:
    explicit ImageControl(QWidget *parent = nullptr);

    void setPicture(const QImage &picture);
    const QImage &picture() const { return picture_; }
    Canvas &canvas() { return canvas_; }

    // The part of the control that shows this area of the picture, soft edges included.
    QRect controlArea(const QRect &pictureArea) const;

signals:
    void mouseMoved();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void pictureChanged(const QRect &area);
    void showChanges();

    QImage picture_;
    Canvas canvas_{picture_};
    // The picture as it was when last sent to the screen, to tell real changes from redraws.
    QImage shown_;
    QRegion pendingChanges_;
};
