#include "platform/capture/v4l2_controls.h"
#include "platform/capture/v4l2_devices.h"

#include <linux/videodev2.h>

namespace {

// Upper bounds that keep a confused driver from making a listing endless.
constexpr int kMaxControls = 1024;
constexpr int kMaxMenuEntries = 256;

bool typeOf(uint32_t v4l2Type, V4l2Control::Type& type) {
    switch (v4l2Type) {
    case V4L2_CTRL_TYPE_INTEGER:
        type = V4l2Control::Type::Integer;
        return true;
    case V4L2_CTRL_TYPE_BOOLEAN:
        type = V4l2Control::Type::Boolean;
        return true;
    case V4L2_CTRL_TYPE_MENU:
    case V4L2_CTRL_TYPE_INTEGER_MENU:
        type = V4l2Control::Type::Menu;
        return true;
    default:
        return false;
    }
}

void readMenu(V4l2Io& io, int fd, const v4l2_queryctrl& query, V4l2Control& control) {
    for (int index = query.minimum; index <= query.maximum; ++index) {
        if (index - query.minimum >= kMaxMenuEntries || index < 0)
            break;
        v4l2_querymenu entry{};
        entry.id = query.id;
        entry.index = uint32_t(index);
        if (io.ioctl(fd, VIDIOC_QUERYMENU, &entry) != 0)
            continue; // drivers may leave gaps
        control.menu.emplace_back(index, query.type == V4L2_CTRL_TYPE_MENU
                                             ? v4l2Text(entry.name)
                                             : QString::number(qint64(entry.value)));
    }
}

// The control described by `query`; false when the list leaves it out.
bool describe(V4l2Io& io, int fd, const v4l2_queryctrl& query, V4l2Control& control) {
    V4l2Control::Type type;
    if ((query.flags & V4L2_CTRL_FLAG_DISABLED) || !typeOf(query.type, type))
        return false;
    control = V4l2Control{};
    control.id = query.id;
    control.name = v4l2Text(query.name);
    control.type = type;
    control.min = query.minimum;
    control.max = query.maximum;
    control.step = query.step > 0 ? query.step : 1;
    control.defaultValue = query.default_value;
    control.inactive = query.flags & V4L2_CTRL_FLAG_INACTIVE;
    control.readOnly = query.flags & (V4L2_CTRL_FLAG_READ_ONLY | V4L2_CTRL_FLAG_GRABBED);
    if (type == V4l2Control::Type::Menu)
        readMenu(io, fd, query, control);
    if ((query.flags & V4L2_CTRL_FLAG_WRITE_ONLY) ||
        readV4l2Control(io, fd, query.id, control.value) != 0)
        control.value = control.defaultValue;
    return true;
}

} // namespace

std::vector<V4l2Control> listV4l2Controls(V4l2Io& io, int fd) {
    std::vector<V4l2Control> controls;
    v4l2_queryctrl query{};
    query.id = V4L2_CTRL_FLAG_NEXT_CTRL;
    for (int listed = 0; listed < kMaxControls && io.ioctl(fd, VIDIOC_QUERYCTRL, &query) == 0;
         ++listed) {
        V4l2Control control;
        if (describe(io, fd, query, control))
            controls.push_back(control);
        query.id |= V4L2_CTRL_FLAG_NEXT_CTRL;
    }
    return controls;
}

bool queryV4l2Control(V4l2Io& io, int fd, uint32_t id, V4l2Control& control) {
    v4l2_queryctrl query{};
    query.id = id;
    return io.ioctl(fd, VIDIOC_QUERYCTRL, &query) == 0 && query.id == id &&
           describe(io, fd, query, control);
}

int readV4l2Control(V4l2Io& io, int fd, uint32_t id, int& value) {
    v4l2_control control{id, 0};
    const int result = io.ioctl(fd, VIDIOC_G_CTRL, &control);
    if (result == 0)
        value = control.value;
    return result;
}

int writeV4l2Control(V4l2Io& io, int fd, uint32_t id, int value) {
    v4l2_control control{id, value};
    return io.ioctl(fd, VIDIOC_S_CTRL, &control);
}
