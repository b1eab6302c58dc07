#pragma once

#include <QImage>
#include <QWidget>

// The frame picture: shows the last frame at one screen pixel per frame pixel, so every
// position in it is a frame pixel (origin top left).
class FramePicture : public QWidget {
    Q_OBJECT
public:
    explicit FramePicture(QWidget* parent = nullptr);

    void setImage(const QImage& image);
    const QImage& image() const { return image_; }

    QSize sizeHint() const override { return image_.size(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};
