#include "app/conditions_panel.h"

namespace {
constexpr const char* kScheme = "act:";
} // namespace

ConditionAction conditionAction(const QString& key) {
    if (key == QLatin1String("calibration"))
        return {QStringLiteral("Calibrate again"), QStringLiteral("calibrate")};
    if (key == QLatin1String("mount"))
        return {QStringLiteral("Connect the telescope"), QStringLiteral("connect telescope")};
    if (key == QLatin1String("camera"))
        return {QStringLiteral("Try the camera again"), QStringLiteral("retry equipment")};
    return {};
}

ConditionsPanel::ConditionsPanel(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("conditionsPanel"));
    setWordWrap(true);
    setTextFormat(Qt::RichText);
    setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    setNight(false);
    hide();
    connect(this, &QLabel::linkActivated, this, [this](const QString& link) {
        if (link.startsWith(QLatin1String(kScheme)))
            emit acted(link.mid(static_cast<qsizetype>(qstrlen(kScheme))));
    });
}

void ConditionsPanel::showConditions(const QStringList& keys, const QStringList& texts) {
    QStringList lines;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        QString line = QStringLiteral("\u26A0 ") + texts[i].toHtmlEscaped();
        if (const ConditionAction act = conditionAction(keys.value(i)); !act.action.isEmpty())
            line += QStringLiteral(" &mdash; <a href=\"%1%2\">%3</a>")
                        .arg(QLatin1String(kScheme), act.action, act.link.toHtmlEscaped());
        lines << line;
    }
    setText(lines.join(QStringLiteral("<br>")));
    setVisible(!lines.isEmpty());
}

void ConditionsPanel::setNight(bool night) {
    setStyleSheet(night ? QStringLiteral("QLabel { color: #b00000; background-color: #100000; "
                                         "border: 1px solid #500000; padding: 3px; }")
                        : QStringLiteral("QLabel { color: #b00000; background-color: #fff4e0; "
                                         "border: 1px solid #e0c080; padding: 3px; }"));
}
