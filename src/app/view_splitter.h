#pragma once

#include <QSplitter>

// A splitter whose size hint counts its handles too, so at its natural size every part gets
// its own natural size.
class ViewSplitter : public QSplitter {
    Q_OBJECT
public:
    using QSplitter::QSplitter;

    QSize sizeHint() const override {
        QSize hint = QSplitter::sizeHint();
        const int handles = std::max(count() - 1, 0) * handleWidth();
        return orientation() == Qt::Horizontal ? hint + QSize(handles, 0)
                                               : hint + QSize(0, handles);
    }
};
