#pragma once

#include <QScrollArea>

// Holds the control column: as tall as the window allows, scrolled when the window is shorter
// than the column. It asks for the column's own size, so where there is room nothing differs
// from the bare column; its width grows by the scroll bar's only while the bar shows.
class ControlScroll : public QScrollArea {
    Q_OBJECT
public:
    explicit ControlScroll(QWidget* column, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int barWidth() const;
    QWidget* column_;
    bool barShown_ = false;
};
