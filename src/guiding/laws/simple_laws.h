#pragma once

#include "guiding/laws/guide_law.h"

// The Options dialog's law: no move below the minimum correction, the error capped at the
// maximum, times the aggressiveness.
class StandardLaw : public GuideLaw {
public:
    explicit StandardLaw(const StandardLimits& limits) : limits_(limits) {}
    QString name() const override { return kStandardLaw; }
    double frame(double tSec, double errArcsec) override;

private:
    StandardLimits limits_;
};

// Proportional with memory: the move is a share of the error plus a share of the previous
// move, times the aggressiveness, and none below the minimum move.
class HysteresisLaw : public GuideLaw {
public:
    QString name() const override { return QStringLiteral("Hysteresis"); }
    double frame(double tSec, double errArcsec) override;
    void sent(double moveArcsec) override { lastMove_ = moveArcsec; }
    void restart() override { lastMove_ = 0; }
    void reset() override { lastMove_ = 0; }
    std::vector<LawParam> params() const override;
    bool setParam(const QString& name, double value) override;

private:
    double aggressiveness_ = 70; // percent
    double hysteresis_ = 10;     // percent of the previous move kept
    double minMove_ = 0.2;       // arcsec
    double lastMove_ = 0;
};
