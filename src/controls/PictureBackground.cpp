#include "PictureBackground.h"

#include <QPainter>

PictureBackground::PictureBackground(QWidget *parent) : QWidget(parent) {}

// A decoding still running is waited for by the future's destructor.
PictureBackground::~PictureBackground() = default;

QPixmap PictureBackground::picture() const
{
    if (m_decoding.valid())
        m_picture = QPixmap::fromImage(m_decoding.get());
    return m_picture;
}

void PictureBackground::setPicture(const QPixmap &picture)
{
    if (m_decoding.valid())
        m_decoding.wait();
    m_decoding = {};
    m_source.clear();
    m_picture = picture;
    update();
}

void PictureBackground::setPictureSource(const QString &source)
{
    if (m_decoding.valid())
        m_decoding.wait();
    m_source = source;
    // QImage and its readers are safe to use on another thread; the pixmap is made here.
    m_decoding = std::async(std::launch::async, [source] { return QImage(source); });
    update();
}

void PictureBackground::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture());
}
