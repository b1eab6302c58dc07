#pragma once

#include "platform/telescope/alpaca_discovery.h"
#include "platform/telescope/driver_chooser.h"
#include "platform/telescope/mount_choices.h"

#include <QDialog>
#include <functional>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

// "Choose Telescope": the built-in simulator, the mounts of an INDI server (host and port
// editable), and Alpaca telescopes found on the network or at a typed host and port. Each
// search blocks for at most a few seconds and says what it found in the status line.
class ChooserDialog : public QDialog, public DriverChooser {
    Q_OBJECT
public:
    explicit ChooserDialog(QWidget* parent = nullptr);

    QString Choose() override;

    // Adds a choice to the list: what the operator reads and the driver identifier.
    void addChoice(const QString& caption, const QString& identifier);
    void addChoice(const MountChoice& choice);
    // The identifier of the selected choice, or "".
    QString selectedIdentifier() const;

    QListWidget* lstDrivers = nullptr;
    QLineEdit* txtIndiHost = nullptr;
    QSpinBox* spnIndiPort = nullptr;
    QPushButton* cmdIndiList = nullptr;
    QPushButton* cmdAlpacaSearch = nullptr;
    QLineEdit* txtAlpacaHost = nullptr;
    QSpinBox* spnAlpacaPort = nullptr;
    QPushButton* cmdAlpacaList = nullptr;
    QLabel* lblStatus = nullptr;

private:
    QWidget* buildIndiRow();
    QWidget* buildAlpacaRow();
    void listIndi();
    void searchAlpaca();
    void listAlpaca();
    void showAlpaca(const std::function<std::vector<AlpacaDevice>()>& find);
};
