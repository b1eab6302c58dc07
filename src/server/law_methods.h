#pragma once

#include "server/guider_control.h"

#include <QJsonValue>

// The guide-law methods: get_algo_param_names [axis], get_algo_param [axis, name],
// set_algo_param [axis, name, value]. The axis is "ra", "x", "dec" or "y" (any case); the
// name "algorithmName" is the law itself (set: a law's name), every other name a parameter
// of the axis's law.
rpc::Reply algoParamNames(GuiderControl& g, const QJsonValue& params);
rpc::Reply algoParam(GuiderControl& g, const QJsonValue& params);
rpc::Reply setAlgoParam(GuiderControl& g, const QJsonValue& params);
