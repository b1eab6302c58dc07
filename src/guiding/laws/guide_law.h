#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// A parameter of a guide law that a user may change: its name (also its settings key and its
// name in the guiding protocol), value, range and unit as shown.
struct LawParam {
    QString name;
    double value = 0;
    double min = 0;
    double max = 0;
    QString unit;
};

// The correction law of one mount axis. Errors and moves are arcseconds along the axis: a
// positive error asks for a positive move, and a move of m removes m from the errors measured
// after it has been made. Times are seconds on any clock that does not go back.
//
// Each frame the guider calls frame() with the star's error and then sent() with the move that
// actually went out (after the maximum, the pulse's whole milliseconds, a failed pulse: 0), so
// that a law that keeps the mount's motion in mind knows what was done.
class GuideLaw {
public:
    virtual ~GuideLaw() = default;
    // Its name in settings, menus and the guide log.
    virtual QString name() const = 0;
    // The move to ask for after a frame taken at tSec with error errArcsec; 0 for none.
    virtual double frame(double tSec, double errArcsec) = 0;
    virtual void sent(double moveArcsec) { (void)moveArcsec; }
    // The target was moved by offsetArcsec along this axis (a dither, a new lock position):
    // the jump in the error that follows is not the mount's motion.
    virtual void targetMoved(double offsetArcsec) { (void)offsetArcsec; }
    // Guiding starts, or resumes after a pause or lost star, without corrections in between.
    virtual void restart() {}
    // Forgets everything learned (a new star, a new calibration).
    virtual void reset() {}
    virtual std::vector<LawParam> params() const { return {}; }
    // False for an unknown name or a value outside its range; nothing changes then.
    virtual bool setParam(const QString& name, double value) {
        (void)name;
        (void)value;
        return false;
    }
};

// The laws by name: "Standard" (the Options dialog's minimum and maximum correction and the
// aggressiveness slider), "Hysteresis", "Predictive".
QStringList guideLawNames();
inline const QString kStandardLaw = QStringLiteral("Standard");

// Limits the standard law takes from the Options dialog (arcsec; aggressiveness as a factor).
struct StandardLimits {
    double minCorrection = 2.5;
    double maxCorrection = 10.0;
    double aggressiveness = 1.0;
};

// A law by name with its default parameters; null for an unknown name. `standard` sets the
// standard law's limits.
std::unique_ptr<GuideLaw> makeGuideLaw(const QString& name, const StandardLimits& standard = {});
