#pragma once

#include <QDialog>
#include <array>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QWidget;
class SettingsStore;
class frmMain;
struct LXEnabling;
enum class OptionField;
struct SettingKey;

// The Options window: the settings the main window does not write itself, edited on five
// tabs and written to the store only by Apply or OK, after which the main window reloads its
// whole configuration. A number box whose text cannot be used gets a red border and a line
// under the tabs saying what it takes; Apply and OK then store nothing until it is put right.
// Usable texts are stored as they stand.
//
// It is modeless. OK and Cancel hide it, keeping its contents for the next showing; closing it
// through the title bar discards it (pending edits unsaved). Every value change, whether the
// operator's or the load's, runs that control's reaction, and only when the value really
// changes. The Apply button's enabled state is the only record of pending edits.
//
// The controls are public, named after their objectName, for the main window and the tests.
class frmOptions : public QDialog {
    Q_OBJECT

public:
    // A bit group: button i stands for parallel-port data bit i ("D0".."D7").
    using BitButtons = std::array<QRadioButton*, 8>;

    // main and store are not owned and must outlive the window. Builds the window, fills it
    // from the store and leaves Apply disabled.
    frmOptions(frmMain& main, SettingsStore& store, QWidget* parent = nullptr);

    QTabWidget* OptionsTab = nullptr;
    // Under the tabs: what the first unusable number box takes; empty while all are usable.
    QLabel* lblOptionsProblem = nullptr;
    QPushButton* cmdOptionsOK = nullptr;
    QPushButton* cmdOptionsApply = nullptr;
    QPushButton* cmdOptionsCancel = nullptr;

    QLabel* lblHrzPixelSize = nullptr;
    QLineEdit* txtHrzPixelSize = nullptr;
    QLabel* lblVrtPixelSize = nullptr;
    QLineEdit* txtVrtPixelSize = nullptr;
    QCheckBox* chkVXModified = nullptr;
    QCheckBox* chkAdvancedMod = nullptr;
    QCheckBox* chkAmpOff = nullptr;
    QLabel* lblLXPort = nullptr;
    QListWidget* LXPortList = nullptr;
    QLabel* lblPostLXTime = nullptr;
    QLineEdit* txtPostLXTime = nullptr;
    QGroupBox* frameSerialControl = nullptr;
    QCheckBox* chkSerialActive = nullptr;
    QRadioButton* RTScontrol = nullptr;
    QRadioButton* DTRcontrol = nullptr;
    QGroupBox* fraLXFrameA = nullptr;
    BitButtons optLXA{};
    QGroupBox* fraLXFrameB = nullptr;
    BitButtons optLXB{};
    QGroupBox* fraLXAmpOff = nullptr;
    BitButtons optAmpOff{};

    QLabel* lblGuideFocalLength = nullptr;
    // The image scale the typed pixel sizes and focal length give, kept up to date as typed.
    QLabel* lblImageScale = nullptr;
    QLineEdit* txtGuideFocalLength = nullptr;

    QLabel* lblRadius = nullptr;
    QLineEdit* txtRadius = nullptr;
    QLabel* lblRAGuideRate = nullptr;
    QLineEdit* txtRAGuideRate = nullptr;
    QLabel* lblDecGuideRate = nullptr;
    QLineEdit* txtDecGuideRate = nullptr;
    QLabel* lblMinError = nullptr;
    QLineEdit* txtMinError = nullptr;
    QLabel* lblMaxError = nullptr;
    QLineEdit* txtMaxError = nullptr;
    QLabel* lblRABacklash = nullptr;
    QLineEdit* txtRABacklash = nullptr;
    QLabel* lblDecBacklash = nullptr;
    QLineEdit* txtDecBacklash = nullptr;
    QCheckBox* chkDecCorrect = nullptr;
    QCheckBox* chkAutostarPulseGuide = nullptr;

    QPushButton* cmdClrParPort = nullptr;
    QGroupBox* fraPPNorth = nullptr;
    BitButtons optPPNorth{};
    QGroupBox* fraPPSouth = nullptr;
    BitButtons optPPSouth{};
    QGroupBox* fraPPEast = nullptr;
    BitButtons optPPEast{};
    QGroupBox* fraPPWest = nullptr;
    BitButtons optPPWest{};

    QCheckBox* chkAppendLog = nullptr;
    QLabel* lblLogFilename = nullptr;
    QLineEdit* txtLogFilename = nullptr;

    // Escape: the same as Cancel.
    void reject() override;

protected:
    // The title bar's close button discards the window without saving or reloading.
    void closeEvent(QCloseEvent* event) override;

private:
    struct BitGroup {
        const SettingKey& key;
        BitButtons& buttons;
    };

    QWidget* buildCameraTab();
    QWidget* buildCameraPortRow(QWidget* tab);
    QWidget* buildGuideScopeTab();
    void showImageScale();
    QWidget* buildGuidingTab();
    QWidget* buildRelayBoxTab();
    QWidget* buildLoggingTab();
    QHBoxLayout* buildButtonRow();
    // Button i is named <buttonName>_<i>.
    QGroupBox* buildBitGroup(QWidget* parent, const char* name, const char* buttonName,
                             const QString& caption, BitButtons& buttons);
    void fillPortList();

    void connectReactions();
    void connectBitGroup(BitButtons& buttons);
    void paintBitGroup(const BitButtons& buttons);
    void pendingChange();
    void connectChecks();
    void showProblems();
    // False, with the first unusable box shown and focused, while any box is unusable.
    bool readyToSave();
    void chkAdvancedMod_Click();
    void chkAmpOff_Click();
    void chkVXModified_Click();
    void LXPortList_Click();
    void applyEnabling(const LXEnabling& e);

    void loadOptions();
    void loadCameraOptions();
    void loadSerialPin();
    void loadGuidingOptions();
    void loadBitGroups();
    void saveOptions();
    void saveCameraOptions();
    void saveGuidingOptions();
    void saveBitGroups();
    void write(const SettingKey& key, const QString& text);

    void cmdOptionsApply_Click();
    void cmdOptionsOK_Click();
    void cmdOptionsCancel_Click();
    void cmdClrParPort_Click();

    frmMain& main_;
    SettingsStore& store_;
    // The Relay Box groups first, then the camera's, in the order they are saved.
    std::array<BitGroup, 7> bitGroups_;
    bool writeFailed_ = false;
    struct CheckedBox {
        QLineEdit* box;
        OptionField field;
    };
    std::vector<CheckedBox> checkedBoxes_;
    // The field's own problem; the minimum error is also held against the maximum.
    QString boxProblem(const CheckedBox& c) const;
};
