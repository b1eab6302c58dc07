#pragma once

#include "platform/telescope/driver_chooser.h"

// Answers every choice with the same identifier without asking anyone, for a program without a
// display.
class FixedDriverChooser : public DriverChooser {
public:
    explicit FixedDriverChooser(QString identifier) : identifier_(std::move(identifier)) {}
    QString Choose() override { return identifier_; }

private:
    QString identifier_;
};
