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
