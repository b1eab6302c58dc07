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
// the history. The star view takes its crop at once, from the frame of the cycle; the graph
// and the statistics are redrawn from the event loop (one queued call however many cycles
// came), so the guide cycle does not wait for them.
class GuidePanel : public QWidget {
    Q_OBJECT
public:
    // `picture` is where the star view takes its crop from; history and picture outlive the
    // panel.
    GuidePanel(GuideHistory& history, const FramePicture& picture,
               std::function<GraphLimits()> limits, QWidget* parent = nullptr);

    // Night colours for the graph and the star view.
    void setNight(bool night);

    GuideGraph* graph = nullptr;
    StatsView* stats = nullptr;
    StarView* star = nullptr;

private:
    void cycleAppended(const GuideRecord& record);
    void refresh();
    void refreshLater();

    GuideHistory& history_;
    const FramePicture& picture_;
    bool refreshQueued_ = false;
};
