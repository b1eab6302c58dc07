#pragma once

#include "platform/dialogs/message_boxes.h"

#include <cstdio>

// Messages for a program without a display: each one a single line "Orvalis: TEXT" on standard
// error (line breaks in the text become spaces), returning at once. Under systemd the line
// goes to the journal.
class StderrMessageBoxes : public MessageBoxes {
public:
    explicit StderrMessageBoxes(std::FILE* out = stderr) : out_(out) {}
    void show(const QString& text, MessageIcon icon) override;

private:
    std::FILE* out_;
};

// The line show() writes, without its line end.
QString messageLine(const QString& text);
