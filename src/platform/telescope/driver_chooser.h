#pragma once

#include <QString>

// Lets the operator pick a telescope driver.
class DriverChooser {
public:
    virtual ~DriverChooser() = default;
    // The chosen driver's identifier, or "" when the operator cancels.
    virtual QString Choose() = 0;
};
