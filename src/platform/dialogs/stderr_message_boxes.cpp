#include "platform/dialogs/stderr_message_boxes.h"

#include <QRegularExpression>

QString messageLine(const QString& text) {
    static const QRegularExpression lineBreaks(QStringLiteral("\\r\\n|[\\r\\n\\x{2028}\\x{2029}]"));
    QString line = text;
    line.replace(lineBreaks, QStringLiteral(" "));
    return QStringLiteral("Orvalis: ") + line;
}

// One write of the whole line, so that lines of other threads never interleave with it.
void StderrMessageBoxes::show(const QString& text, MessageIcon icon) {
    (void)icon;
    const QByteArray line = messageLine(text).toUtf8() + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), out_);
    std::fflush(out_);
}
