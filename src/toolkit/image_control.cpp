#include "image_control.h"

#include "toolkit/picture_difference.h"

#include <QPainter>
#include <QTimer>

#include <cmath>

ImageControl::ImageControl(QWidget *parent) : QWidget(parent)
{
    // The picture covers every pixel, so nothing beneath needs painting when it changes.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::BlankCursor);
    setMouseTracking(true);
    canvas_.setChangeListener([this](const QRect &area) { pictureChanged(area); });
}

void ImageControl::setPicture(const QImage &picture)
{
    picture_ = picture.convertToFormat(QImage::Format_RGB32);
    shown_ = picture_.copy();
    pendingChanges_ = QRegion();
    update();
}

QRect ImageControl::controlArea(const QRect &pictureArea) const
{
    if (picture_.isNull())
        return {};
    const double scaleX = double(width()) / picture_.width();
    const double scaleY = double(height()) / picture_.height();
    // Smooth stretching blends each screen pixel from its picture neighbours.
    const int marginX = int(std::ceil(scaleX)) + 1;
    const int marginY = int(std::ceil(scaleY)) + 1;
    const int left = int(std::floor(pictureArea.left() * scaleX)) - marginX;
    const int top = int(std::floor(pictureArea.top() * scaleY)) - marginY;
    const int right = int(std::ceil((pictureArea.right() + 1) * scaleX)) + marginX;
    const int bottom = int(std::ceil((pictureArea.bottom() + 1) * scaleY)) + marginY;
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)).intersected(rect());
}

void ImageControl::pictureChanged(const QRect &area)
{
    if (pendingChanges_.isEmpty())
        QTimer::singleShot(0, this, &ImageControl::showChanges);
    pendingChanges_ += area;
}

void ImageControl::showChanges()
{
    for (const QRect &area : pendingChanges_) {
        const QRect changed = DifferingArea(picture_, shown_, area);
        if (changed.isEmpty())
            continue;
        CopyArea(picture_, shown_, changed);
        update(controlArea(changed));
    }
    pendingChanges_ = QRegion();
}

void ImageControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, size() != picture_.size());
    painter.drawImage(rect(), picture_);
}

void ImageControl::mouseMoveEvent(QMouseEvent *)
{
    emit mouseMoved();
}
