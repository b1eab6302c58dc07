#include "platform/dialogs/qt_message_boxes.h"

#include "version.h"

QMessageBox::Icon toQtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QtMessageBoxes::QtMessageBoxes(QWidget* parent) : parent_(parent) {}

void QtMessageBoxes::setParentWindow(QWidget* parent) {
    parent_ = parent;
}

void QtMessageBoxes::show(const QString& text, MessageIcon icon) {
    QMessageBox box(toQtIcon(icon), QStringLiteral(ORVALIS_TITLE), text, QMessageBox::Ok,
                    parent_.data());
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}
