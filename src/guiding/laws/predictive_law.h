#pragma once

#include "guiding/laws/guide_law.h"

// Predicts where the mount's own motion will have taken the star by the next frame and moves
// there; see predictive_law.cpp.
class PredictiveLaw : public GuideLaw {
public:
    PredictiveLaw();
    ~PredictiveLaw() override;
    QString name() const override { return QStringLiteral("Predictive"); }
    double frame(double tSec, double errArcsec) override;
    void sent(double moveArcsec) override;
    void targetMoved(double offsetArcsec) override;
    void restart() override;
    void reset() override;
    std::vector<LawParam> params() const override;
    bool setParam(const QString& name, double value) override;

private:
    struct Model;
    std::unique_ptr<Model> m_;
};
