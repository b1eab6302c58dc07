#include "graph/guide_panel.h"

#include "app/frame_picture.h"
#include "graph/star_view.h"
#include "graph/stats_view.h"
#include "guiding/guide_history.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

GuidePanel::GuidePanel(GuideHistory& history, const FramePicture& picture,
                       std::function<GraphLimits()> limits, QWidget* parent)
    : QWidget(parent), history_(history), picture_(picture) {
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    graph = new GuideGraph(history, std::move(limits), this);
    v->addWidget(graph, 1);
    auto* below = new QHBoxLayout;
    stats = new StatsView(this);
    star = new StarView(this);
    below->addWidget(stats, 0, Qt::AlignTop);
    below->addStretch(1);
    below->addWidget(star, 0, Qt::AlignTop);
    v->addLayout(below);
    connect(&history, &GuideHistory::appended, this, &GuidePanel::cycleAppended);
    connect(&history, &GuideHistory::cleared, this, &GuidePanel::refresh);
    connect(graph, &GuideGraph::clearClicked, &history, &GuideHistory::clear);
    connect(graph->cboCycles, &QComboBox::currentIndexChanged, this, &GuidePanel::refresh);
}

void GuidePanel::setNight(bool night) {
    graph->setNight(night);
    star->setNight(night);
}

void GuidePanel::refresh() {
    graph->refresh();
    stats->showStats(guidingStats(history_, graph->cycles()));
    if (history_.empty())
        star->clear();
}

void GuidePanel::refreshLater() {
    if (refreshQueued_)
        return;
    refreshQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            refreshQueued_ = false;
            refresh();
        },
        Qt::QueuedConnection);
}

void GuidePanel::cycleAppended(const GuideRecord& record) {
    refreshLater();
    if (record.found)
        star->showStar(picture_.image(), record.star.valid ? record.star.centreX : record.starX,
                       record.star.valid ? record.star.centreY : record.starY, record.star);
    else
        star->showLost();
}
