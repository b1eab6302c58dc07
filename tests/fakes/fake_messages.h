#pragma once

#include "platform/dialogs/message_boxes.h"

#include <QStringList>
#include <vector>

class FakeMessages : public MessageBoxes {
public:
    void show(const QString& text, MessageIcon icon) override {
        texts.append(text);
        icons.push_back(icon);
    }
    QStringList texts;
    std::vector<MessageIcon> icons;
};
