#pragma once

#include "platform/capture/v4l2_io.h"

#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

// One adjustable camera setting (brightness, gain, auto exposure, ...).
struct V4l2Control {
    enum class Type { Integer, Boolean, Menu };

    uint32_t id = 0;
    QString name;
    Type type = Type::Integer;
    int min = 0, max = 0, step = 1, defaultValue = 0, value = 0;
    // Menus only: each value the control takes with its name (integer menus name the number).
    std::vector<std::pair<int, QString>> menu;
    // Inactive: has no effect at the moment (manual exposure while auto exposure is on).
    bool inactive = false;
    // Cannot be changed, for good or while the device is busy.
    bool readOnly = false;
};

// The settings an operator can change, in the driver's order. Disabled controls and those that
// hold no single value (classes, buttons, 64-bit, strings, bitmasks, arrays) are left out; the
// value of a control that cannot be read is its default.
std::vector<V4l2Control> listV4l2Controls(V4l2Io& io, int fd);
// The description and current value of control `id`; false when there is no such control the
// list above would show.
bool queryV4l2Control(V4l2Io& io, int fd, uint32_t id, V4l2Control& control);

// 0 or -errno.
int readV4l2Control(V4l2Io& io, int fd, uint32_t id, int& value);
int writeV4l2Control(V4l2Io& io, int fd, uint32_t id, int value);
