#include "server/methods.h"

#include "server/assistant_methods.h"
#include "server/law_methods.h"
#include "server/settle_params.h"

#include <QJsonArray>
#include <functional>
#include <map>

namespace {
using rpc::fail;
using rpc::ok;
using rpc::param;
using rpc::Reply;
using Method = std::function<Reply(GuiderControl&, const QJsonValue&)>;

Reply badParams(const QString& message) {
    return fail(rpc::InvalidParams, message);
}

QJsonValue point(QPointF p) {
    return QJsonArray{p.x(), p.y()};
}

// An optional [x, y, width, height] ROI; false when present but malformed.
bool roiOf(const QJsonValue& v, std::optional<QRect>& roi) {
    if (v.isUndefined() || v.isNull())
        return true;
    const QJsonArray a = v.toArray();
    if (a.size() != 4)
        return false;
    for (const QJsonValue e : a)
        if (!e.isDouble())
            return false;
    roi = QRect(a[0].toInt(), a[1].toInt(), a[2].toInt(), a[3].toInt());
    return roi->width() > 0 && roi->height() > 0;
}

// A boolean that may also come as a number (0 false, anything else true).
std::optional<bool> boolOf(const QJsonValue& v) {
    if (v.isBool())
        return v.toBool();
    if (v.isDouble())
        return v.toDouble() != 0;
    return std::nullopt;
}

Reply setConnected(GuiderControl& g, const QJsonValue& p) {
    const QJsonValue v = param(p, 0, "connected");
    if (!v.isBool())
        return badParams("expected connected boolean param");
    return g.setConnected(v.toBool());
}

Reply findStar(GuiderControl& g, const QJsonValue& p) {
    std::optional<QRect> roi;
    if (!roiOf(param(p, 0, "roi"), roi))
        return badParams("invalid ROI param");
    return g.findStar(roi);
}

Reply guide(GuiderControl& g, const QJsonValue& p) {
    const auto settle = parseSettle(param(p, 0, "settle"));
    if (const QString* why = std::get_if<QString>(&settle))
        return badParams(*why);
    const QJsonValue recal = param(p, 1, "recalibrate");
    if (!recal.isUndefined() && !recal.isBool())
        return badParams("expected bool value for recalibrate");
    std::optional<QRect> roi;
    if (!roiOf(param(p, 2, "roi"), roi))
        return badParams("invalid ROI param");
    return g.guide(std::get<SettleParams>(settle), recal.toBool(false), roi);
}

Reply dither(GuiderControl& g, const QJsonValue& p) {
    const QJsonValue amount = param(p, 0, "amount");
    if (!amount.isDouble() || amount.toDouble() < 0)
        return badParams("expected dither amount param");
    const QJsonValue raOnly = param(p, 1, "raOnly");
    if (!raOnly.isUndefined() && !raOnly.isBool())
        return badParams("expected dither raOnly param");
    const auto settle = parseSettle(param(p, 2, "settle"));
    if (const QString* why = std::get_if<QString>(&settle))
        return badParams(*why);
    return g.dither(amount.toDouble(), raOnly.toBool(false), std::get<SettleParams>(settle));
}

Reply setPaused(GuiderControl& g, const QJsonValue& p) {
    const std::optional<bool> paused = boolOf(param(p, 0, "paused"));
    if (!paused)
        return badParams("expected bool param at index 0");
    const QJsonValue type = param(p, 1, "type");
    g.setPaused(*paused, type.toString() == QLatin1String("full"));
    return ok();
}

Reply setExposure(GuiderControl& g, const QJsonValue& p) {
    const QJsonValue v = param(p, 0, "exposure");
    if (!v.isDouble())
        return badParams("expected exposure param");
    return g.setExposure(v.toInt());
}

Reply setLockPosition(GuiderControl& g, const QJsonValue& p) {
    const QJsonValue x = param(p, 0, "x");
    const QJsonValue y = param(p, 1, "y");
    const QJsonValue exact = param(p, 2, "exact");
    if (!x.isDouble() || !y.isDouble())
        return badParams("expected lock position x, y params");
    if (!exact.isUndefined() && !exact.isBool())
        return badParams("expected boolean param 'exact'");
    return g.setLockPosition(x.toDouble(), y.toDouble(), exact.toBool(true));
}

Reply starImage(GuiderControl& g, const QJsonValue& p) {
    const QJsonValue v = param(p, 0, "size");
    if (!v.isUndefined() && (!v.isDouble() || v.toInt() < 15))
        return badParams("invalid image size param");
    return g.starImage(v.isUndefined() ? 15 : v.toInt());
}

Reply clearCalibration(GuiderControl& g, const QJsonValue& p) {
    const QJsonValue v = param(p, 0, "which");
    const QString which = v.toString().toLower();
    if (!v.isUndefined() && which != "mount" && which != "ao" && which != "both")
        return badParams("expected param \"mount\", \"ao\", or \"both\"");
    // There is no adaptive optics unit: "ao" alone clears nothing.
    if (which != "ao")
        g.clearCalibration();
    return ok();
}

Reply setDecGuideMode(GuiderControl& g, const QJsonValue& p) {
    const QJsonValue v = param(p, 0, "mode");
    if (!v.isString())
        return fail(rpc::Failed, "expected mode param");
    return g.setDecGuideMode(v.toString());
}

QJsonObject profileObject(const Profile& p) {
    return {{"id", p.id}, {"name", p.name}};
}

QJsonArray profileList(GuiderControl& g) {
    const int selected = g.profile().id;
    QJsonArray list;
    for (const Profile& p : g.profiles()) {
        QJsonObject entry = profileObject(p);
        if (p.id == selected)
            entry.insert("selected", true);
        list.append(entry);
    }
    return list;
}

Reply setProfile(GuiderControl& g, const QJsonValue& p) {
    const QJsonValue id = param(p, 0, "id");
    if (!id.isDouble())
        return badParams("expected profile id param");
    return g.setProfile(id.toInt());
}

// Orvalis does not move the lock position over time; switching that off is all there is.
Reply setLockShiftEnabled(GuiderControl&, const QJsonValue& p) {
    const QJsonValue v = param(p, 0, "enabled");
    if (!v.isBool())
        return badParams("expected enabled boolean param");
    return v.toBool() ? fail(rpc::Failed, "lock position shift is not available") : ok();
}

Reply setLockShiftParams(GuiderControl&, const QJsonValue& p) {
    const QJsonArray rate = param(p, 0, "rate").toArray();
    const QString units = param(p, 1, "units").toString();
    const QString axes = param(p, 2, "axes").toString();
    if (rate.size() != 2 || !rate[0].isDouble() || !rate[1].isDouble())
        return badParams("expected rate param");
    if (units.compare("arcsec/hr", Qt::CaseInsensitive) &&
        units.compare("pixels/hr", Qt::CaseInsensitive))
        return badParams("expected units param");
    if (axes.compare("RA/Dec", Qt::CaseInsensitive) && axes.compare("X/Y", Qt::CaseInsensitive))
        return badParams("expected axes param");
    return ok();
}

QJsonValue orNull(std::optional<QPointF> p) {
    return p ? point(*p) : QJsonValue(QJsonValue::Null);
}

QJsonValue intList(const QList<int>& values) {
    QJsonArray a;
    for (int v : values)
        a.append(v);
    return a;
}

const std::map<QString, Method>& methods() {
    static const std::map<QString, Method> table{
        {"get_connected", [](GuiderControl& g, auto&) { return ok(g.connected()); }},
        {"set_connected", setConnected},
        {"get_app_state", [](GuiderControl& g, auto&) { return ok(appStateName(g.appState())); }},
        {"loop", [](GuiderControl& g, auto&) { return g.loop(); }},
        {"stop_capture",
         [](GuiderControl& g, auto&) {
             g.stopCapture();
             return ok();
         }},
        {"find_star", findStar},
        {"guide", guide},
        {"dither", dither},
        {"get_settling", [](GuiderControl& g, auto&) { return ok(g.settling()); }},
        {"get_paused", [](GuiderControl& g, auto&) { return ok(g.paused()); }},
        {"set_paused", setPaused},
        {"get_pixel_scale",
         [](GuiderControl& g, auto&) {
             const auto scale = g.pixelScale();
             return ok(scale ? QJsonValue(*scale) : QJsonValue(QJsonValue::Null));
         }},
        {"get_exposure", [](GuiderControl& g, auto&) { return ok(g.exposureMs()); }},
        {"get_exposure_durations",
         [](GuiderControl& g, auto&) { return ok(intList(g.exposureDurationsMs())); }},
        {"set_exposure", setExposure},
        {"get_lock_position", [](GuiderControl& g, auto&) { return ok(orNull(g.lockPosition())); }},
        {"set_lock_position", setLockPosition},
        {"get_star_image", starImage},
        {"get_camera_frame_size",
         [](GuiderControl& g, auto&) {
             const auto size = g.frameSize();
             return size ? ok(QJsonArray{size->width(), size->height()})
                         : fail(rpc::Failed, "camera not connected");
         }},
        {"get_calibrated", [](GuiderControl& g, auto&) { return ok(g.calibrated()); }},
        {"get_calibration_data", [](GuiderControl& g, auto&) { return ok(g.calibrationData()); }},
        {"clear_calibration", clearCalibration},
        {"get_dec_guide_mode", [](GuiderControl& g, auto&) { return ok(g.decGuideMode()); }},
        {"set_dec_guide_mode", setDecGuideMode},
        {"get_algo_param_names", algoParamNames},
        {"get_algo_param", algoParam},
        {"set_algo_param", setAlgoParam},
        {"get_current_equipment", [](GuiderControl& g, auto&) { return ok(g.equipment()); }},
        {"get_profiles", [](GuiderControl& g, auto&) { return ok(profileList(g)); }},
        {"get_profile", [](GuiderControl& g, auto&) { return ok(profileObject(g.profile())); }},
        {"set_profile", setProfile},
        {"get_lock_shift_enabled", [](GuiderControl&, auto&) { return ok(false); }},
        {"get_lock_shift_params",
         [](GuiderControl&, auto&) {
             return ok(QJsonObject{{"enabled", false},
                                   {"rate", QJsonArray{0.0, 0.0}},
                                   {"units", "arcsec/hr"},
                                   {"axes", "RA/Dec"}});
         }},
        {"set_lock_shift_enabled", setLockShiftEnabled},
        {"set_lock_shift_params", setLockShiftParams},
        {"orvalis_start_guiding_assistant", startGuidingAssistant},
        {"orvalis_get_guiding_assistant",
         [](GuiderControl& g, auto&) { return ok(g.assistantStatus()); }},
        {"orvalis_apply_guiding_assistant",
         [](GuiderControl& g, auto&) { return g.applyAssistant(); }},
        {"orvalis_stop_guiding_assistant",
         [](GuiderControl& g, auto&) {
             g.stopAssistant();
             return ok();
         }},
        {"shutdown",
         [](GuiderControl& g, auto&) {
             g.shutdown();
             return ok();
         }},
    };
    return table;
}
} // namespace

Reply dispatch(GuiderControl& guider, const rpc::Request& request) {
    const auto& table = methods();
    const auto it = table.find(request.method);
    if (it == table.end())
        return fail(rpc::MethodNotFound, "method not found");
    return it->second(guider, request.params);
}

QByteArray handleRequest(GuiderControl& guider, const rpc::Request& request) {
    const Reply reply = dispatch(guider, request);
    if (!request.hasId)
        return {};
    return reply.error ? rpc::errorResponse(request.id, reply.error->code, reply.error->message)
                       : rpc::resultResponse(request.id, reply.result);
}
