#pragma once

#include <QString>
#include <cstdint>

// A setting's address in the store and the text the main window uses when it is absent.
struct SettingKey {
    const char* section;
    const char* key;
    const char* startupDefault;
};

namespace keys {
inline constexpr const char* guiding = "Guiding Options";
inline constexpr const char* telescope = "Telescope Options";
inline constexpr const char* camera = "Camera Options";
inline constexpr const char* guidescope = "Guidescope Options";
inline constexpr const char* parallel = "Parallel Options";
inline constexpr const char* logging = "Logging Options";
inline constexpr const char* server = "Server Options";
inline constexpr const char* indiCamera = "INDI Camera Options";
inline constexpr const char* graph = "Graph Options";
inline constexpr const char* guideLaw = "Guide Law Options";
inline constexpr const char* guideLog = "Guide Log Options";
inline constexpr const char* view = "View Options";
inline constexpr const char* darkOptions = "Dark Options";
inline constexpr const char* equipment = "Equipment Options";

inline constexpr SettingKey GuideMode{guiding, "GuideMode", "ASCOM"};
inline constexpr SettingKey DriverIndex{camera, "DriverIndex", "0"};
inline constexpr SettingKey HorizontalPixelSize{camera, "HorizontalPixelSize", "5.6"};
inline constexpr SettingKey VerticalPixelSize{camera, "VerticalPixelSize", "5.6"};
// "1": the pixel sizes, focal length and guide rates the equipment states are taken as they come.
inline constexpr SettingKey UseReportedValues{equipment, "Use Reported Values", "0"};
// "1": the chosen camera and mount are connected at start-up.
inline constexpr SettingKey ConnectAtStartup{equipment, "Connect At Startup", "0"};
inline constexpr SettingKey VXModified{camera, "VX Modified", "0"};
inline constexpr SettingKey HasAmpOff{camera, "HasAmpOff", "0"};
inline constexpr SettingKey HasAdvancedMod{camera, "HasAdvancedMod", "0"};
inline constexpr SettingKey PostLXTime{camera, "PostLXTime", "20"};
// The post-exposure wait blocks the window, so longer stored waits count as unreadable.
inline constexpr int64_t kMaxPostLXTimeMs = 10000;
inline constexpr SettingKey Port{camera, "Port", "0"};
inline constexpr SettingKey LXSerialPin{camera, "LXSerialPin", "RTS"};
inline constexpr SettingKey LXSerialActive{camera, "LXSerialActive", "1"};
inline constexpr SettingKey Exposure{camera, "Exposure", "1"};
inline constexpr SettingKey FocalLength{guidescope, "FocalLength", "1440"};
inline constexpr SettingKey Radius{guiding, "Radius", "24"};
inline constexpr SettingKey RAGuideRate{guiding, "RA Guide Rate", "30"};
inline constexpr SettingKey DecGuideRate{guiding, "Dec Guide Rate", "30"};
inline constexpr SettingKey RABacklash{guiding, "RA Backlash", "0"};
inline constexpr SettingKey DecBacklash{guiding, "Dec Backlash", "0"};
// The key's spelling is what existing stores hold.
inline constexpr SettingKey MinimumCorrection{guiding, "Minumum Correction", "2.5"};
inline constexpr SettingKey MaximumCorrection{guiding, "Maximum Correction", "10.0"};
inline constexpr SettingKey DecCorrect{guiding, "Dec Correct", "0"};
inline constexpr SettingKey AutostarPulseGuide{guiding, "Autostar PulseGuide", "0"};
inline constexpr SettingKey ReverseEW{guiding, "ReverseEW", "0"};
inline constexpr SettingKey ReverseNS{guiding, "ReverseNS", "0"};
inline constexpr SettingKey Aggressiveness{guiding, "Aggressiveness", "100"};
inline constexpr SettingKey North{parallel, "North", "6"};
inline constexpr SettingKey South{parallel, "South", "7"};
inline constexpr SettingKey East{parallel, "East", "4"};
inline constexpr SettingKey West{parallel, "West", "5"};
inline constexpr SettingKey LXA{camera, "LXA", "0"};
inline constexpr SettingKey LXB{camera, "LXB", "1"};
inline constexpr SettingKey AmpOff{camera, "AmpOff", "2"};
inline constexpr SettingKey AppendLog{logging, "Append Log", "0"};
// Its default is the user's home folder + "/GuidingErrors.log": see defaultLogFilename().
inline constexpr SettingKey LogFilename{logging, "Log Filename", ""};
inline constexpr SettingKey DriverID{telescope, "DriverID", "<none>"};
// The imaging programs' guiding server: on, its TCP port, and "local" (loopback only) or
// "network" (every interface).
inline constexpr SettingKey ServerEnabled{server, "Enabled", "1"};
inline constexpr SettingKey ServerPort{server, "Port", "4400"};
inline constexpr SettingKey ServerListen{server, "Listen", "local"};
// The INDI server whose cameras the Camera menu lists, "host:port"; empty: none.
inline constexpr SettingKey IndiCameraServer{indiCamera, "Server", "localhost:7624"};
// The Camera menu caption of the driver "DriverIndex" named when it was saved, so that a
// changed list of cameras does not connect another camera at start-up.
inline constexpr SettingKey DriverName{camera, "DriverName", ""};
// The same caption as saved by earlier versions, for INDI cameras only; read when "DriverName"
// is absent, never written.
inline constexpr SettingKey DriverCaption{indiCamera, "Driver", ""};
// The guide graph's view: cycles shown (100..400), half height of the error axis (1..16, in
// the unit shown), errors in px, the Drift chart, errors along the mount's axes.
inline constexpr SettingKey GraphCycles{graph, "Cycles", "200"};
inline constexpr SettingKey GraphScale{graph, "Scale", "4"};
inline constexpr SettingKey GraphPixels{graph, "Pixels", "0"};
inline constexpr SettingKey GraphDrift{graph, "Drift", "0"};
inline constexpr SettingKey GraphMountAxes{graph, "Mount Axes", "0"};
// The picture: "Fit" or a zoom in percent; the display stretch (0 off, 1 automatic, 2 manual),
// its black and white points as fractions of the frame's range, and its gamma.
inline constexpr SettingKey ViewZoom{view, "Zoom", "Fit"};
inline constexpr SettingKey ViewStretch{view, "Stretch", "0"};
inline constexpr SettingKey ViewBlackPoint{view, "Black Point", "0"};
inline constexpr SettingKey ViewWhitePoint{view, "White Point", "1"};
inline constexpr SettingKey ViewGamma{view, "Gamma", "1"};
inline constexpr SettingKey ViewNightMode{view, "Night Mode", "0"};
// The law of each axis by name (see guideLawNames()); a law's parameters are stored as
// "<axis> <law> <parameter>", e.g. "RA Hysteresis Minimum Move".
inline constexpr SettingKey RALaw{guideLaw, "RA Law", "Standard"};
inline constexpr SettingKey DecLaw{guideLaw, "Dec Law", "Standard"};
// With Dec corrections on: "Auto" (both ways), "North" or "South" only.
inline constexpr SettingKey DecGuideMode{guideLaw, "Dec Guide Mode", "Auto"};
// Dec backlash measured by a calibration or the guiding assistant, ms; empty: not measured.
// The Hysteresis and Predictive laws compensate reversals with it when compensation is on.
inline constexpr SettingKey MeasuredDecBacklash{guideLaw, "Measured Dec Backlash", ""};
inline constexpr int kMaxMeasuredBacklashMs = 10000; // larger stored values count as unreadable
inline constexpr SettingKey BacklashCompensation{guideLaw, "Backlash Compensation", "1"};
// The guide log, one file per program start: written unless "Enabled" is "0"; "Folder" empty
// means defaultGuideLogFolder(). Both are read at start-up.
inline constexpr SettingKey GuideLogEnabled{guideLog, "Enabled", "1"};
inline constexpr SettingKey GuideLogFolder{guideLog, "Folder", ""};
// Dark subtraction and bad-pixel repair: on unless "0", but they act only on the frames of a
// camera whose dark library holds a dark of the frame's size and (near enough) its exposure.
inline constexpr SettingKey UseDarks{darkOptions, "Use Darks", "1"};
inline constexpr SettingKey UseBadPixelMap{darkOptions, "Use Bad Pixel Map", "1"};
inline constexpr SettingKey DarksPerExposure{darkOptions, "Darks Per Exposure", "5"};
// Where the dark library is kept; empty means DarkLibrary::defaultFolder(). Read at start-up.
inline constexpr SettingKey DarkFolder{darkOptions, "Folder", ""};
} // namespace keys

QString defaultLogFilename();
// The user's data folder + "/Orvalis/logs" (~/.local/share/Orvalis/logs).
QString defaultGuideLogFolder();
