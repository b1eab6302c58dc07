#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

// Runs the tests of one screen size on an offscreen screen of that size, with window frames:
//   screen_tests --screen=WxH [gtest options]
// Only the test suite Screen<W>x<H> runs unless a filter is given.
int main(int argc, char** argv) {
    QString size = QStringLiteral("1280x800");
    for (int i = 1; i < argc; ++i)
        if (const QString arg = QString::fromLocal8Bit(argv[i]); arg.startsWith("--screen="))
            size = arg.mid(9);
    const QRegularExpressionMatch m = QRegularExpression("^(\\d+)x(\\d+)$").match(size);
    if (!m.hasMatch())
        return 2;
    const QString config = QDir::temp().filePath(QStringLiteral("orvalis-screen-%1-%2.json")
                                                     .arg(size)
                                                     .arg(QCoreApplication::applicationPid()));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return 2;
    file.write(QStringLiteral(R"({"windowFrameMargins": true, "screens": [{"name": "Test",
        "x": 0, "y": 0, "width": %1, "height": %2, "logicalDpi": 96, "logicalBaseDpi": 96,
        "dpr": 1}]})")
                   .arg(m.captured(1), m.captured(2))
                   .toUtf8());
    file.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toLocal8Bit());
    int result = 0;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        if (GTEST_FLAG_GET(filter) == "*")
            GTEST_FLAG_SET(filter, ("Screen" + size + ".*").toStdString());
        result = RUN_ALL_TESTS();
    }
    QFile::remove(config);
    return result;
}
