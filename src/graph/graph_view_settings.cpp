#include "graph/graph_view_settings.h"

#include "graph/guide_graph.h"
#include "settings/setting_keys.h"
#include "settings/settings_reader.h"

#include <QCheckBox>
#include <QComboBox>

namespace {
void choose(QComboBox* box, int64_t value) {
    const int at = box->findData(static_cast<int>(value));
    if (at >= 0)
        box->setCurrentIndex(at);
}

void keepChoice(QComboBox* box, const SettingKey& key,
                const std::function<void(const SettingKey&, const QString&)>& save) {
    QObject::connect(box, &QComboBox::currentIndexChanged, box,
                     [box, &key, save] { save(key, box->currentData().toString()); });
}

void keepTick(QCheckBox* box, const SettingKey& key,
              const std::function<void(const SettingKey&, const QString&)>& save) {
    QObject::connect(box, &QCheckBox::toggled, box, [&key, save](bool on) {
        save(key, on ? QStringLiteral("1") : QStringLiteral("0"));
    });
}
} // namespace

void restoreGraphView(GuideGraph& graph, SettingsStore& store) {
    SettingsReader in(store);
    choose(graph.cboCycles, in.whole(keys::GraphCycles, 100, 400));
    choose(graph.cboScale, in.whole(keys::GraphScale, 1, 16));
    graph.chkPixels->setChecked(in.flag(keys::GraphPixels));
    graph.chkDrift->setChecked(in.flag(keys::GraphDrift));
    graph.chkMountAxes->setChecked(in.flag(keys::GraphMountAxes));
}

void keepGraphView(GuideGraph& graph,
                   std::function<void(const SettingKey& key, const QString& text)> save) {
    keepChoice(graph.cboCycles, keys::GraphCycles, save);
    keepChoice(graph.cboScale, keys::GraphScale, save);
    keepTick(graph.chkPixels, keys::GraphPixels, save);
    keepTick(graph.chkDrift, keys::GraphDrift, save);
    keepTick(graph.chkMountAxes, keys::GraphMountAxes, save);
}
