#include "darks/dark_run.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

std::optional<std::vector<double>> parseExposureList(const QString& text, double maxSec) {
    static const QRegularExpression separators(QStringLiteral("[,;\\s]+"));
    std::vector<double> list;
    for (const QString& word : text.split(separators, Qt::SkipEmptyParts)) {
        bool ok = false;
        const double sec = word.toDouble(&ok);
        if (!ok || !(sec > 0) || sec > maxSec)
            return std::nullopt;
        if (std::find(list.begin(), list.end(), sec) == list.end())
            list.push_back(sec);
    }
    if (list.empty())
        return std::nullopt;
    return list;
}

DarkRun::DarkRun(DarkPlan plan) : plan_(std::move(plan)) {
    plan_.frames = std::clamp(plan_.frames, 1, DarkPlan::kMaxFrames);
}

double DarkRun::exposureSec() const {
    return done() ? 0.0 : plan_.exposuresSec[exposure_];
}

int DarkRun::framesWanted() const {
    return plan_.frames * static_cast<int>(plan_.exposuresSec.size());
}

std::optional<DarkFrame> DarkRun::add(FrameValues frame, double exposureSec, const QDateTime& now) {
    if (done() || std::abs(exposureSec - this->exposureSec()) > 1e-3)
        return std::nullopt;
    if (!frames_.empty() && !(frames_.front().shape == frame.shape)) {
        taken_ -= static_cast<int>(frames_.size());
        frames_.clear();
    }
    frames_.push_back(std::move(frame));
    ++taken_;
    if (static_cast<int>(frames_.size()) < plan_.frames)
        return std::nullopt;
    DarkFrame dark = combineDarks(frames_, this->exposureSec(), now);
    frames_.clear();
    ++exposure_;
    return dark;
}
