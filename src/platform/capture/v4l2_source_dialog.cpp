#include "platform/capture/v4l2_source_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace {

// Sliders move in the control's steps: position p stands for min + p * step.
int sliderPosition(const V4l2Control& c, int value) {
    return (std::clamp(value, c.min, c.max) - c.min) / c.step;
}

} // namespace

V4l2SourceDialog::V4l2SourceDialog(V4l2Device& device, QWidget* parent)
    : QDialog(parent), device_(device) {
    setWindowTitle(QStringLiteral("Video Source"));
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setWidget(buildControls());
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("status"));
    status_->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    defaults_ = buttons->addButton(QStringLiteral("&Defaults"), QDialogButtonBox::ResetRole);
    connect(defaults_, &QPushButton::clicked, this, &V4l2SourceDialog::restoreDefaults);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll);
    layout->addWidget(status_);
    layout->addWidget(buttons);
    resize(460, 520);
    refresh();
}

QWidget* V4l2SourceDialog::buildControls() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    const std::vector<V4l2Control> controls = device_.controls();
    if (controls.empty())
        form->addRow(new QLabel(device_.isOpen() ? QStringLiteral("This camera has no settings.")
                                                 : device_.errorString()));
    for (const V4l2Control& control : controls) {
        Row& row = rows_[control.id];
        row.control = control;
        form->addRow(control.name, makeEditor(row));
    }
    return page;
}

QWidget* V4l2SourceDialog::makeEditor(Row& row) {
    const uint32_t id = row.control.id;
    if (row.control.type == V4l2Control::Type::Boolean) {
        auto* box = new QCheckBox;
        connect(box, &QCheckBox::toggled, this, [this, id](bool on) { apply(id, on ? 1 : 0); });
        row.editor = box;
    } else if (row.control.type == V4l2Control::Type::Menu) {
        auto* combo = new QComboBox;
        for (const auto& [value, name] : row.control.menu)
            combo->addItem(name, value);
        connect(combo, &QComboBox::activated, this,
                [this, id, combo](int index) { apply(id, combo->itemData(index).toInt()); });
        row.editor = combo;
    } else {
        return makeSlider(row);
    }
    row.editor->setObjectName(QStringLiteral("control%1").arg(id));
    return row.editor;
}

QWidget* V4l2SourceDialog::makeSlider(Row& row) {
    const V4l2Control& c = row.control;
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(QStringLiteral("control%1").arg(c.id));
    slider->setRange(0, sliderPosition(c, c.max));
    slider->setPageStep(std::max(1, slider->maximum() / 10));
    row.value = new QLabel;
    row.value->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("-0000000")));
    row.value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const uint32_t id = c.id;
    const int min = c.min, step = c.step;
    connect(slider, &QSlider::valueChanged, this,
            [this, id, min, step](int position) { apply(id, min + position * step); });
    row.editor = slider;
    auto* holder = new QWidget;
    auto* line = new QHBoxLayout(holder);
    line->setContentsMargins(0, 0, 0, 0);
    line->addWidget(slider, 1);
    line->addWidget(row.value);
    return holder;
}

QWidget* V4l2SourceDialog::editor(uint32_t id) const {
    const auto it = rows_.find(id);
    return it == rows_.end() ? nullptr : it->second.editor;
}

QLabel* V4l2SourceDialog::valueLabel(uint32_t id) const {
    const auto it = rows_.find(id);
    return it == rows_.end() ? nullptr : it->second.value;
}

void V4l2SourceDialog::apply(uint32_t id, int value) {
    status_->setText(device_.setControl(id, value) ? QString() : device_.errorString());
    refresh();
}

void V4l2SourceDialog::restoreDefaults() {
    const QStringList refusals = device_.restoreDefaults();
    status_->setText(device_.isOpen() ? refusals.join('\n') : device_.errorString());
    refresh();
}

// Reads every control back; a camera that went away leaves all editors disabled.
void V4l2SourceDialog::refresh() {
    const std::vector<V4l2Control> now = device_.controls();
    for (auto& [id, row] : rows_) {
        const auto current = std::find_if(now.begin(), now.end(),
                                          [id = id](const V4l2Control& c) { return c.id == id; });
        if (current == now.end())
            row.control.readOnly = true;
        else
            row.control = *current;
        display(row);
    }
    defaults_->setEnabled(device_.isOpen() && !rows_.empty());
}

void V4l2SourceDialog::display(Row& row) {
    const V4l2Control& c = row.control;
    const QSignalBlocker quiet(row.editor);
    if (auto* box = qobject_cast<QCheckBox*>(row.editor))
        box->setChecked(c.value != 0);
    else if (auto* combo = qobject_cast<QComboBox*>(row.editor))
        combo->setCurrentIndex(combo->findData(c.value));
    else if (auto* slider = qobject_cast<QSlider*>(row.editor))
        slider->setValue(sliderPosition(c, c.value));
    if (row.value)
        row.value->setText(QString::number(c.value));
    row.editor->setEnabled(!c.inactive && !c.readOnly);
}
