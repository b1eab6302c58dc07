#pragma once

#include "sim/sky_options.h"

#include <QDialog>
#include <vector>

class QDoubleSpinBox;
class QSpinBox;
class SettingsStore;
class SkySimulator;

// "Simulator Source": one spin box per simulator option. Changes show in the simulator at once;
// OK saves them, Cancel puts back the options it opened with. The controls are public for the
// tests.
class SimSourceDialog : public QDialog {
    Q_OBJECT

public:
    SimSourceDialog(SkySimulator& sky, SettingsStore& store, QWidget* parent = nullptr);

    SkyOptions shownOptions() const;
    // Whether OK saved every value.
    bool saved() const { return saved_; }

    void accept() override;
    void reject() override;

    std::vector<QDoubleSpinBox*> spnOptions; // in the order of skyOptionFields()
    QSpinBox* spnSeed = nullptr;

private:
    void applyShown();

    SkySimulator& sky_;
    SettingsStore& store_;
    const SkyOptions opened_;
    bool saved_ = false;
};
