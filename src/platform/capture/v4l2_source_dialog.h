#pragma once

#include "platform/capture/v4l2_device.h"

#include <QDialog>
#include <map>

class QLabel;
class QPushButton;

// "Video Source": one editor per camera control, applied as it changes. Integers get a slider
// with the value beside it, booleans a check box, menus a combo box. After every change all
// editors are read back from the camera, since one setting can switch others on or off (auto
// exposure off makes manual exposure active). A control the camera refuses shows why below.
class V4l2SourceDialog : public QDialog {
    Q_OBJECT
public:
    // `device` must stay alive while the dialog exists.
    explicit V4l2SourceDialog(V4l2Device& device, QWidget* parent = nullptr);

    // The editor of control `id` (QSlider, QCheckBox or QComboBox); null when not shown.
    QWidget* editor(uint32_t id) const;
    QLabel* valueLabel(uint32_t id) const;
    QLabel* status() const { return status_; }
    QPushButton* defaultsButton() const { return defaults_; }

private:
    struct Row {
        V4l2Control control;
        QWidget* editor = nullptr;
        QLabel* value = nullptr; // sliders only
    };

    QWidget* buildControls();
    QWidget* makeEditor(Row& row);
    QWidget* makeSlider(Row& row);
    void apply(uint32_t id, int value);
    void restoreDefaults();
    void refresh();
    void display(Row& row);

    V4l2Device& device_;
    std::map<uint32_t, Row> rows_;
    QLabel* status_ = nullptr;
    QPushButton* defaults_ = nullptr;
};
