#include "platform/dialogs/qt_message_boxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

// Shows a box and, from inside its modal loop, records what is on screen and presses OK.
static QString showAndDismiss(QtMessageBoxes& boxes, MessageIcon icon) {
    QString seen = "no box";
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen = QStringLiteral("%1|%2|%3|%4|%5")
                   .arg(box->windowTitle(), box->text())
                   .arg(box->icon())
                   .arg(box->buttons().size())
                   .arg(box->parentWidget() ? box->parentWidget()->objectName() : "-");
        box->button(QMessageBox::Ok)->click();
    });
    boxes.show("The mount does not answer", icon);
    return seen;
}

TEST(QtMessageBoxes, ModalBoxWithTitleTextIconAndOkOverTheCurrentParent) {
    QWidget first, second;
    first.setObjectName("first");
    second.setObjectName("second");
    QtMessageBoxes boxes(&first);
    EXPECT_EQ(showAndDismiss(boxes, MessageIcon::Critical),
              "Orvalis|The mount does not answer|3|1|first");
    boxes.setParentWindow(&second);
    EXPECT_EQ(showAndDismiss(boxes, MessageIcon::Information),
              "Orvalis|The mount does not answer|1|1|second");

    auto* gone = new QWidget;
    boxes.setParentWindow(gone);
    delete gone;
    EXPECT_EQ(showAndDismiss(boxes, MessageIcon::None), "Orvalis|The mount does not answer|0|1|-");
}
