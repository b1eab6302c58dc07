#include "platform/capture/qt_capture_widgets.h"

#include "platform/capture/sim_format_dialog.h"
#include "platform/capture/sim_source_dialog.h"
#include "platform/capture/v4l2_format_dialog.h"
#include "platform/capture/v4l2_source_dialog.h"
#include "platform/telescope/indi_setup_dialog.h"

#include <QLabel>
#include <QPixmap>
#include <QPointer>

namespace {
// Dialogs over `parent` for as long as it lives; with `visible`, a label showing the frames.
// Both parent and label may be destroyed by others first.
class LabelCaptureView : public CaptureView {
public:
    LabelCaptureView(QWidget* parent, bool visible, const QRect& geometry) : parent_(parent) {
        if (!visible)
            return;
        label_ = new QLabel(parent);
        label_->setGeometry(geometry);
        label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label_->setStyleSheet(QStringLiteral("background: black;"));
        label_->show();
    }
    ~LabelCaptureView() override { delete label_.data(); }

    QWidget* dialogParent() const override { return parent_; }
    bool showsFrames() const override { return label_ != nullptr; }
    void show(const QImage& frame) override {
        if (label_)
            label_->setPixmap(QPixmap::fromImage(frame));
    }

private:
    QPointer<QWidget> parent_;
    QPointer<QLabel> label_;
};

template <class Dialog> bool savedUnlessConfirmed(Dialog& dialog) {
    return dialog.exec() != QDialog::Accepted || dialog.saved();
}
} // namespace

bool QtCaptureWidgets::simSourceDialog(SkySimulator& sky, SettingsStore& store,
                                       QWidget* parent) const {
    SimSourceDialog dialog(sky, store, parent);
    return savedUnlessConfirmed(dialog);
}

bool QtCaptureWidgets::simFormatDialog(SkySimulator& sky, SettingsStore& store,
                                       QWidget* parent) const {
    SimFormatDialog dialog(sky, store, parent);
    return savedUnlessConfirmed(dialog);
}

void QtCaptureWidgets::v4l2SourceDialog(V4l2Device& device, QWidget* parent) const {
    V4l2SourceDialog dialog(device, parent);
    dialog.exec();
}

void QtCaptureWidgets::v4l2FormatDialog(V4l2Device& device, QWidget* parent) const {
    V4l2FormatDialog dialog(device, parent);
    dialog.exec();
}

void QtCaptureWidgets::indiSettingsDialog(IndiDeviceAccess& device, QWidget* parent) const {
    IndiSetupDialog dialog(device, parent);
    dialog.exec();
}

std::unique_ptr<CaptureView> QtCaptureWidgets::view(QWidget* parent, bool visible,
                                                    const QRect& geometry) const {
    return std::make_unique<LabelCaptureView>(parent, visible, geometry);
}

const QtCaptureWidgets& qtCaptureWidgets() {
    static const QtCaptureWidgets widgets;
    return widgets;
}
