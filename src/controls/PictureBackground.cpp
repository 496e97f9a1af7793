#include "PictureBackground.h"

#include <QPainter>

PictureBackground::PictureBackground(QWidget *parent) : QWidget(parent) {}

PictureBackground::~PictureBackground() = default;

void PictureBackground::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    update();
}

void PictureBackground::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
}
