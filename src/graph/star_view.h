#pragma once

#include "measure/star_measures.h"

#include <QImage>
#include <QWidget>

class QLabel;

// The locked star enlarged: a crop of the frame around it, stretched from its darkest to its
// brightest pixel and scaled up without smoothing, with its centre marked; beside it the
// star's peak, SNR and HFD, and "saturated" when a pixel reached 255.
class StarView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kCrop = 40; // frame pixels along each side
    static constexpr int kZoom = 4;

    explicit StarView(QWidget* parent = nullptr);

    // The star at (x, y) in frame pixels of `frame`, with its measures.
    void showStar(const QImage& frame, double x, double y, const StarMeasures& measures);
    // No star: the crop stays, dimmed, and the measures are emptied.
    void showLost();
    void clear();

    QLabel* lblPeak = nullptr;
    QLabel* lblSnr = nullptr;
    QLabel* lblHfd = nullptr;
    QLabel* lblSaturated = nullptr;
    const QImage& crop() const { return crop_; }
    // Night: the crop in dim red (a view of it; crop() stays grey), the cross red.
    void setNight(bool night);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool night_ = false;
    QImage crop_;  // kCrop x kCrop, stretched grey
    QPointF mark_; // star centre within the crop, crop pixels; negative: none
    bool lost_ = false;
};

// The stretched grey crop of `frame` of side `side` whose centre pixel is the one nearest
// (x, y): darkest luminance -> 0, brightest -> 255. Parts outside the frame stay black.
QImage stretchedCrop(const QImage& frame, double x, double y, int side);
