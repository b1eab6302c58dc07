#pragma once

#include <QString>
#include <optional>

// The LX control port list of the options dialog: index 0..2 is LPT1..LPT3, 3..18 is
// COM1..COM16; -1 means nothing is selected.
inline constexpr int kLXPortEntries = 19;

// "Image scale: 1.19 x 1.19 arcsec per pixel" for the scale along x and y, arcsec per pixel.
QString imageScaleCaption(double arcsecPerPixelX, double arcsecPerPixelY);
// The Guidescope tab's line on the image scale that the typed pixel sizes (microns) and focal
// length (mm) give, as the main window works it out: "Image scale: 1.19 x 1.19 arcsec per
// pixel". A text the main window would not take (not a positive number; the focal length a
// whole one) is named instead, since the value in use then stays as it was.
QString imageScaleText(const QString& hrzPixelSize, const QString& vrtPixelSize,
                       const QString& focalLength);

// "LPT1".."LPT3", "COM1".."COM16" for index 0..18.
QString lxPortCaption(int index);
// The device node an entry drives, e.g. "/dev/parport0" or "/dev/ttyS0"; procRoot is where
// the kernel lists its parallel ports.
QString lxPortDevice(int index, const QString& procRoot = QStringLiteral("/proc/sys/dev/parport"));

// What the dialog shows for a stored "Port" or bit text. nullopt when the text is not a whole
// number in range (-1..18 and 0..7): the control then keeps what it shows.
std::optional<int> shownPortIndex(const QString& stored);
std::optional<int> shownBit(const QString& stored);

// Enabled states that one of the camera tab's rules gives its LX controls. nullopt leaves the
// control as it is.
struct LXEnabling {
    std::optional<bool> portLabel;      // lblLXPort
    std::optional<bool> portList;       // LXPortList
    std::optional<bool> postLXTime;     // lblPostLXTime and txtPostLXTime
    std::optional<bool> serialControls; // frameSerialControl, its Active box, RTS and DTR
    std::optional<bool> frameA;         // fraLXFrameA
    std::optional<bool> frameAButtons;  // the eight optLXA buttons
    std::optional<bool> frameB;         // fraLXFrameB and its eight buttons
    std::optional<bool> ampOffGroup;    // fraLXAmpOff and its eight buttons
    std::optional<bool> modChecks;      // chkAdvancedMod and chkAmpOff
    // Clear "Advanced" and then "AmpOff" (each running its own reaction) before modChecks.
    bool clearModChecks = false;

    bool operator==(const LXEnabling&) const = default;
};

// After "VX Modified" changed. A modified camera opens the port controls, and either the LX
// Frame A group (parallel port or none chosen) or the serial controls (COM port). An
// unmodified one closes every LX control except the two modification boxes.
LXEnabling vxModifiedEnabling(bool vxModified, int portIndex);

// After the LX port selection changed, whatever "VX Modified" holds. A COM port switches to the
// serial controls and drops the modifications, which need the parallel port's data lines; a
// parallel port (or none) brings back the bit groups that the modification boxes call for.
LXEnabling lxPortEnabling(int portIndex, bool advanced, bool ampOff);

// The Options dialog's text boxes that must hold a number.
enum class OptionField {
    HrzPixelSize,
    VrtPixelSize,
    PostLXTime,
    FocalLength,
    Radius,
    RAGuideRate,
    DecGuideRate,
    MaxError,
    MinError,
    RABacklash,
    DecBacklash,
};

// What a field accepts: a number in [min, max] of `unit`, whole or with a fraction.
struct FieldRange {
    QString name; // as a message starts, e.g. "Focal length"
    QString unit;
    double min;
    double max;
    bool whole;
};

FieldRange fieldRange(OptionField field);
// Empty when the typed text can be stored, else the line the dialog shows, e.g. "Focal length
// must be a whole number of mm from 1 to 100000". Read as the stored text is read at start-up:
// a point as the decimal separator, surrounding blanks ignored.
QString fieldProblem(OptionField field, const QString& text);
// Empty unless both texts can be stored and the minimum error is above the maximum, which would
// leave no error that is corrected.
QString errorOrderProblem(const QString& minErrorText, const QString& maxErrorText);
