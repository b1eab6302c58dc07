#include "platform/telescope/indi_property.h"

const IndiElement* IndiVector::element(const QString& elementName) const {
    for (const IndiElement& e : elements)
        if (e.name == elementName)
            return &e;
    return nullptr;
}

IndiElement* IndiVector::element(const QString& elementName) {
    return const_cast<IndiElement*>(std::as_const(*this).element(elementName));
}

bool IndiVector::isOn(const QString& elementName) const {
    const IndiElement* e = element(elementName);
    return e && e->on;
}

QString indiStateName(IndiState state) {
    switch (state) {
    case IndiState::Idle:
        return QStringLiteral("Idle");
    case IndiState::Ok:
        return QStringLiteral("Ok");
    case IndiState::Busy:
        return QStringLiteral("Busy");
    case IndiState::Alert:
        return QStringLiteral("Alert");
    }
    return {};
}

IndiElement numberElement(const char* name, double value) {
    IndiElement e;
    e.name = QString::fromLatin1(name);
    e.value = value;
    return e;
}

IndiElement switchElement(const char* name, bool on) {
    IndiElement e;
    e.name = QString::fromLatin1(name);
    e.on = on;
    return e;
}

IndiVector vectorNamed(const QString& device, const char* name, IndiKind kind) {
    IndiVector v;
    v.device = device;
    v.name = QString::fromLatin1(name);
    v.kind = kind;
    return v;
}
