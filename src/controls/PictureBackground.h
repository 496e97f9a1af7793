#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <future>

// A window's client area with a background picture drawn once, unscaled, from the
// top-left corner; what the picture does not cover shows the window colour. A picture given
// by its file (pictureSource) is decoded on another thread while the window is still being
// built, and is in place by the first paint.
class PictureBackground : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QPixmap picture READ picture WRITE setPicture)
    Q_PROPERTY(QString pictureSource READ pictureSource WRITE setPictureSource)
public:
    explicit PictureBackground(QWidget *parent = nullptr);
    ~PictureBackground() override;

    // The picture, waiting for its decoding if it has not finished.
    QPixmap picture() const;
    void setPicture(const QPixmap &picture);

    QString pictureSource() const { return m_source; }
    // Starts decoding the image file (or resource) source; the picture shows it once decoded.
    void setPictureSource(const QString &source);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_source;
    mutable std::future<QImage> m_decoding;
    mutable QPixmap m_picture;
};
