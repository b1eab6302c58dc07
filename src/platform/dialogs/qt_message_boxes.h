#pragma once

#include "platform/dialogs/message_boxes.h"

#include <QMessageBox>
#include <QPointer>

class QWidget;

QMessageBox::Icon toQtIcon(MessageIcon icon);

// Message boxes as modal QMessageBox windows centred on the parent window. The parent is not
// owned; when it is null or has been destroyed the boxes are shown without a parent.
class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent = nullptr);
    void setParentWindow(QWidget* parent);
    void show(const QString& text, MessageIcon icon) override;

private:
    QPointer<QWidget> parent_;
};
