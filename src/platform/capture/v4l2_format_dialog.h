#pragma once

#include "platform/capture/v4l2_device.h"

#include <QDialog>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;

// "Video Format": the frame sizes the camera offers and the frame rates of the chosen size.
// OK restarts the camera in that format (its frame size may change); Cancel keeps the current
// one. A format the camera refuses shows why and leaves the dialog open.
class V4l2FormatDialog : public QDialog {
    Q_OBJECT
public:
    // `device` must stay alive while the dialog exists.
    explicit V4l2FormatDialog(V4l2Device& device, QWidget* parent = nullptr);

    QComboBox* sizes() const { return sizes_; }
    QComboBox* rates() const { return rates_; }
    QLabel* status() const { return status_; }
    QPushButton* okButton() const { return ok_; }

    void accept() override;

private:
    void fillSizes(QSize current);
    void fillRates(V4l2Interval current);

    V4l2Device& device_;
    std::vector<V4l2SizeRates> choices_;
    QComboBox* sizes_ = nullptr;
    QComboBox* rates_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* ok_ = nullptr;
};
