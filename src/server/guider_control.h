#pragma once

#include "engine/settle.h"
#include "platform/store/profile_store.h"
#include "server/app_state.h"
#include "server/rpc.h"

#include <QJsonObject>
#include <QList>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <optional>
#include <vector>

// What the protocol's methods ask of the guider. Positions are frame pixels, exposures
// milliseconds. Commands answer rpc::ok() or the error the client gets; events they cause go
// out before that answer.
class GuiderControl {
public:
    virtual ~GuiderControl() = default;

    virtual bool connected() = 0; // camera and guide output ready
    virtual rpc::Reply setConnected(bool connect) = 0;
    virtual AppState appState() = 0;

    virtual rpc::Reply loop() = 0;
    virtual void stopCapture() = 0;
    // Chooses and locks a star, in `roi` when given; answers its [x, y].
    virtual rpc::Reply findStar(std::optional<QRect> roi) = 0;
    // Starts guiding (selecting a star and calibrating first when needed); it ends in one
    // SettleDone.
    virtual rpc::Reply guide(const SettleParams& settle, bool recalibrate,
                             std::optional<QRect> roi) = 0;
    virtual rpc::Reply dither(double amount, bool raOnly, const SettleParams& settle) = 0;
    virtual bool settling() = 0;

    virtual bool paused() = 0;
    // full: the exposures stop too; otherwise only the corrections.
    virtual void setPaused(bool paused, bool full) = 0;

    virtual std::optional<double> pixelScale() = 0; // arcsec per pixel, when known
    virtual int exposureMs() = 0;
    virtual QList<int> exposureDurationsMs() = 0;
    virtual rpc::Reply setExposure(int ms) = 0;

    virtual std::optional<QPointF> lockPosition() = 0;
    virtual rpc::Reply setLockPosition(double x, double y, bool exact) = 0;
    // {frame, width, height, star_pos, pixels} of the locked star; `size` >= 15.
    virtual rpc::Reply starImage(int size) = 0;
    virtual std::optional<QSize> frameSize() = 0;

    virtual bool calibrated() = 0;
    // See calibrationDataJson.
    virtual QJsonObject calibrationData() = 0;
    virtual void clearCalibration() = 0;
    virtual QString decGuideMode() = 0; // "Off", "Auto", "North" or "South"
    virtual rpc::Reply setDecGuideMode(const QString& mode) = 0;

    // The parameters of an axis's guide law (dec false: RA), one by name, or set one (the name
    // "algorithmName" is the law itself).
    virtual QStringList algoParamNames(bool dec) = 0;
    virtual rpc::Reply algoParam(bool dec, const QString& name) = 0;
    virtual rpc::Reply setAlgoParam(bool dec, const QString& name, const QJsonValue& value) = 0;

    // The guiding assistant (see GuideEngine::startAssistant); the status as
    // assistantStatusJson gives it.
    virtual rpc::Reply startAssistant(double seconds, bool backlash) = 0;
    virtual void stopAssistant() = 0;
    virtual QJsonObject assistantStatus() = 0;
    virtual rpc::Reply applyAssistant() = 0;

    virtual QJsonObject equipment() = 0;
    // The equipment sets, the one in use, and a switch ("invalid profile id" for none such).
    virtual std::vector<Profile> profiles() = 0;
    virtual Profile profile() = 0;
    virtual rpc::Reply setProfile(int id) = 0;
    virtual void shutdown() = 0;
};
