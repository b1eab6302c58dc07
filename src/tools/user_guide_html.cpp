// Writes the user guide as HTML from README.md: everything before its "## Development" section,
// without the pictures (they stay in the source tree).
//   user_guide_html README.md OUT.html
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTextDocument>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: user_guide_html README.md OUT.html\n");
        return 2;
    }
    QGuiApplication app(argc, argv); // fonts for the document
    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "user_guide_html: cannot read %s\n", argv[1]);
        return 1;
    }
    QString markdown = QString::fromUtf8(in.readAll());
    if (const qsizetype end = markdown.indexOf(QLatin1String("\n## Development")); end >= 0)
        markdown.truncate(end);
    static const QRegularExpression picture(QStringLiteral("^!\\[[^\n]*\\n"),
                                            QRegularExpression::MultilineOption);
    markdown.remove(picture);
    QTextDocument document;
    document.setDefaultFont(QFont(QStringLiteral("Sans Serif"), 11));
    document.setMarkdown(markdown);
    document.setMetaInformation(QTextDocument::DocumentTitle, QStringLiteral("Orvalis user guide"));
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        out.write(document.toHtml().toUtf8()) < 0) {
        std::fprintf(stderr, "user_guide_html: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
