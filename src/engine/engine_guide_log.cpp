#include "engine/guide_engine.h"
#include "guidelog/guide_log_lines.h"
#include "guidelog/guide_log_observer.h"
#include "settings/settings_reader.h"
#include "version.h"

#include <QDateTime>

QString GuideEngine::guideLogFolder() const {
    const QString folder = SettingsReader(*platform_.store).text(keys::GuideLogFolder).trimmed();
    return folder.isEmpty() ? defaultGuideLogFolder() : folder;
}

// One log per program start, named by this moment; its file appears with its first section.
void GuideEngine::startGuideLog() {
    if (guideLog_ || !SettingsReader(*platform_.store).flag(keys::GuideLogEnabled))
        return;
    const QDateTime start = QDateTime::currentDateTime();
    guideLog_ = std::make_unique<GuideLogObserver>(
        *this,
        std::make_unique<GuideLogWriter>(guideLogFolder(), start,
                                         logOpeningLine(QStringLiteral(ORVALIS_VERSION), start)));
}
