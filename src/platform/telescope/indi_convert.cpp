#include "platform/telescope/indi_convert.h"

#include <indipropertyblob.h>
#include <indipropertylight.h>
#include <indipropertynumber.h>
#include <indipropertyswitch.h>
#include <indipropertytext.h>

namespace {
QString text(const char* s) {
    return s ? QString::fromUtf8(s) : QString();
}

IndiState toState(IPState state) {
    switch (state) {
    case IPS_OK:
        return IndiState::Ok;
    case IPS_BUSY:
        return IndiState::Busy;
    case IPS_ALERT:
        return IndiState::Alert;
    default:
        return IndiState::Idle;
    }
}

IndiRule toRule(ISRule rule) {
    switch (rule) {
    case ISR_ATMOST1:
        return IndiRule::AtMostOne;
    case ISR_NOFMANY:
        return IndiRule::AnyOfMany;
    default:
        return IndiRule::OneOfMany;
    }
}

IndiElement named(const char* name, const char* label) {
    IndiElement e;
    e.name = text(name);
    e.label = text(label);
    return e;
}

void copyNumbers(const INDI::Property& property, IndiVector& out) {
    out.kind = IndiKind::Number;
    const INDI::PropertyNumber numbers(property);
    for (const auto& w : numbers) {
        IndiElement e = named(w.getName(), w.getLabel());
        e.value = w.getValue();
        e.min = w.getMin();
        e.max = w.getMax();
        e.step = w.getStep();
        e.format = text(w.getFormat());
        out.elements.push_back(e);
    }
}

void copySwitches(const INDI::Property& property, IndiVector& out) {
    out.kind = IndiKind::Switch;
    const INDI::PropertySwitch switches(property);
    out.rule = toRule(switches.getRule());
    for (const auto& w : switches) {
        IndiElement e = named(w.getName(), w.getLabel());
        e.on = w.getState() == ISS_ON;
        out.elements.push_back(e);
    }
}

void copyTexts(const INDI::Property& property, IndiVector& out) {
    out.kind = IndiKind::Text;
    const INDI::PropertyText texts(property);
    for (const auto& w : texts) {
        IndiElement e = named(w.getName(), w.getLabel());
        e.text = text(w.getText());
        out.elements.push_back(e);
    }
}

void copyLights(const INDI::Property& property, IndiVector& out) {
    out.kind = IndiKind::Light;
    const INDI::PropertyLight lights(property);
    for (const auto& w : lights) {
        IndiElement e = named(w.getName(), w.getLabel());
        e.light = toState(w.getState());
        out.elements.push_back(e);
    }
}

void copyBlobs(const INDI::Property& property, IndiVector& out) {
    out.kind = IndiKind::Blob;
    const INDI::PropertyBlob blobs(property);
    for (const auto& w : blobs) {
        IndiElement e = named(w.getName(), w.getLabel());
        if (w.getBlob() && w.getBlobLen() > 0)
            e.blob = QByteArray(static_cast<const char*>(w.getBlob()), w.getBlobLen());
        e.blobFormat = text(w.getFormat());
        out.elements.push_back(e);
    }
}

struct Names {
    explicit Names(const IndiVector& vector)
        : device(vector.device.toUtf8()), name(vector.name.toUtf8()) {}
    QByteArray device;
    QByteArray name;
};
} // namespace

IndiVector toIndiVector(const INDI::Property& property) {
    IndiVector out;
    out.device = text(property.getDeviceName());
    out.name = text(property.getName());
    out.label = text(property.getLabel());
    out.group = text(property.getGroupName());
    out.state = toState(property.getState());
    out.writable = property.getPermission() != IP_RO;
    switch (property.getType()) {
    case INDI_NUMBER:
        copyNumbers(property, out);
        break;
    case INDI_SWITCH:
        copySwitches(property, out);
        break;
    case INDI_TEXT:
        copyTexts(property, out);
        break;
    case INDI_LIGHT:
        copyLights(property, out);
        break;
    case INDI_BLOB:
        copyBlobs(property, out);
        break;
    default:
        out.kind = IndiKind::Blob;
        break;
    }
    return out;
}

void sendIndiVector(INDI::BaseClient& client, const IndiVector& vector) {
    const size_t count = vector.elements.size();
    const Names names(vector);
    if (vector.kind == IndiKind::Number) {
        INDI::PropertyNumber p(count);
        p.fill(names.device.constData(), names.name.constData(), "", "", IP_RW, 0, IPS_IDLE);
        for (size_t i = 0; i < count; ++i) {
            p[i].setName(vector.elements[i].name.toStdString());
            p[i].setValue(vector.elements[i].value);
        }
        client.sendNewNumber(p);
    } else if (vector.kind == IndiKind::Switch) {
        INDI::PropertySwitch p(count);
        p.fill(names.device.constData(), names.name.constData(), "", "", IP_RW, ISR_NOFMANY, 0,
               IPS_IDLE);
        for (size_t i = 0; i < count; ++i) {
            p[i].setName(vector.elements[i].name.toStdString());
            p[i].setState(vector.elements[i].on ? ISS_ON : ISS_OFF);
        }
        client.sendNewSwitch(p);
    } else if (vector.kind == IndiKind::Text) {
        INDI::PropertyText p(count);
        p.fill(names.device.constData(), names.name.constData(), "", "", IP_RW, 0, IPS_IDLE);
        for (size_t i = 0; i < count; ++i) {
            p[i].setName(vector.elements[i].name.toStdString());
            p[i].setText(vector.elements[i].text.toStdString());
        }
        client.sendNewText(p);
    }
}
