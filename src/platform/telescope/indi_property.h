#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <vector>

// Plain copies of INDI properties ("vectors" of elements), free of libindi types, so that
// they can be handed between threads and shown by widgets.

enum class IndiKind { Number, Switch, Text, Light, Blob };
enum class IndiState { Idle, Ok, Busy, Alert };
// How many switches of a vector may be on: exactly one, none or one, any number.
enum class IndiRule { OneOfMany, AtMostOne, AnyOfMany };

struct IndiElement {
    QString name;
    QString label;
    // Numbers: value and its range; step 0 means any value. format is printf-like, with
    // "%<w>.<f>m" for sexagesimal numbers.
    double value = 0;
    double min = 0;
    double max = 0;
    double step = 0;
    QString format;
    bool on = false; // switches
    QString text;    // texts
    IndiState light = IndiState::Idle;
    // BLOBs: the bytes as received (shared, not copied, between snapshots) and their format,
    // for example ".fits"; empty until the client has asked for BLOBs and one has arrived.
    QByteArray blob;
    QString blobFormat;
};

struct IndiVector {
    QString device;
    QString name;
    QString label;
    QString group;
    IndiKind kind = IndiKind::Number;
    IndiState state = IndiState::Idle;
    bool writable = false;
    IndiRule rule = IndiRule::OneOfMany;
    std::vector<IndiElement> elements;
    // The client's change counter at the definition or update this copy was taken from, and
    // at the definition: properties sorted by `defined` come in the driver's order.
    quint64 revision = 0;
    quint64 defined = 0;
    // The change counter at the latest definition or update that found it Busy (0: never), so
    // that a waiter who wakes only after Busy has turned back into Idle still sees it ran.
    quint64 lastBusy = 0;

    const IndiElement* element(const QString& elementName) const;
    IndiElement* element(const QString& elementName);
    // false when the vector has no such switch.
    bool isOn(const QString& elementName) const;
};

QString indiStateName(IndiState state);

// Elements and vectors to send: a number or switch element with its new value, and an empty
// vector of a device's property (name: its INDI name, e.g. "CONNECTION").
IndiElement numberElement(const char* name, double value);
IndiElement switchElement(const char* name, bool on);
IndiVector vectorNamed(const QString& device, const char* name, IndiKind kind);
