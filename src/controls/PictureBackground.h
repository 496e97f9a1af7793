#pragma once

#include <QPixmap>
#include <QWidget>

// A window's client area with a background picture drawn once, unscaled, from the
// top-left corner; what the picture does not cover shows the window colour.
class PictureBackground : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QPixmap picture READ picture WRITE setPicture)
public:
    explicit PictureBackground(QWidget *parent = nullptr);
    ~PictureBackground() override;

    QPixmap picture() const { return m_picture; }
    void setPicture(const QPixmap &picture);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
};
