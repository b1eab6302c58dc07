#pragma once

#include <QWidget>

class FramePicture;
class QLabel;
class QScrollBar;

// The frame picture's place in the window, with scroll bars that appear while the zoomed frame
// is larger than the picture's space. Asks for the picture's own size: the bars take room
// only while they show.
class PicturePane : public QWidget {
    Q_OBJECT
public:
    explicit PicturePane(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // A line over the picture's top left corner telling the next step; clicks go through it to
    // the picture. Hidden while empty.
    void setHint(const QString& text);
    void setHintNight(bool night);

    FramePicture* picture = nullptr;
    QLabel* hint = nullptr;
    QScrollBar* horizontal = nullptr;
    QScrollBar* vertical = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void place();
    void placeHint();
    void showBars();
    void viewChanged();
    void scrolled();

    bool placing_ = false;
};
