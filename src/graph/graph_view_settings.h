#pragma once

#include <QString>
#include <functional>

class GuideGraph;
class SettingsStore;
struct SettingKey;

// The graph's view options (cycles shown, scale, px, Drift, Mount axes) live in the settings
// section "Graph Options". restoreGraphView() sets the options from the store; a stored value
// that is unreadable or not offered leaves that option as it is. keepGraphView() then hands
// every later change of an option to `save`, one key at a time.
void restoreGraphView(GuideGraph& graph, SettingsStore& store);
void keepGraphView(GuideGraph& graph,
                   std::function<void(const SettingKey& key, const QString& text)> save);
