#pragma once

#include <QString>

enum class MessageIcon { None, Critical, Information };

// Modal message boxes titled "Orvalis" with a single OK button.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Returns when the operator has dismissed the box.
    virtual void show(const QString& text, MessageIcon icon) = 0;
};
