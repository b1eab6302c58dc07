#pragma once

#include <QDialog>

class QComboBox;
class SettingsStore;
class SkySimulator;

// "Simulator Format": the frame size of the simulated camera. OK applies and saves the chosen
// size; Cancel keeps the old one. The control is public for the tests.
class SimFormatDialog : public QDialog {
    Q_OBJECT

public:
    SimFormatDialog(SkySimulator& sky, SettingsStore& store, QWidget* parent = nullptr);

    QSize chosenSize() const;
    // Whether OK saved the size.
    bool saved() const { return saved_; }

    void accept() override;

    QComboBox* cboSize = nullptr; // "640 x 480", "320 x 240"; each item's data is its QSize

private:
    SkySimulator& sky_;
    SettingsStore& store_;
    bool saved_ = false;
};
