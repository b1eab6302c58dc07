#pragma once

#include "graph/guide_graph.h"

#include <QWidget>
#include <functional>

class FramePicture;
class GuideHistory;
class StarView;
class StatsView;
struct GuideRecord;

// What the main window shows of the guiding beside the frame: the guide graph, the statistics
// over the cycles it shows, and the star view. Follows the history on its own; "Clear" empties
// the history.
class GuidePanel : public QWidget {
    Q_OBJECT
public:
    // `picture` is where the star view takes its crop from; history and picture outlive the
    // panel.
    GuidePanel(GuideHistory& history, const FramePicture& picture,
               std::function<GraphLimits()> limits, QWidget* parent = nullptr);

    GuideGraph* graph = nullptr;
    StatsView* stats = nullptr;
    StarView* star = nullptr;

private:
    void cycleAppended(const GuideRecord& record);
    void refresh();

    GuideHistory& history_;
    const FramePicture& picture_;
};
