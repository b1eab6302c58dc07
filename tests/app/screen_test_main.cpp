#include <QApplication>
#include <QScreen>
#include <cstdio>
#include <gtest/gtest.h>

// Runs the tests of the X server's screen size on that server, with real windows:
//   tests/run_on_xvfb.sh WxH -- screen_tests [gtest options]
// Only the test suite Screen<W>x<H> runs unless a filter is given; none for the size fails.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::fputs("screen_tests: needs an X server; run it through tests/run_on_xvfb.sh\n",
                   stderr);
        return 2;
    }
    const QSize size = QGuiApplication::primaryScreen()->geometry().size();
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(filter) == "*")
        GTEST_FLAG_SET(filter, "Screen" + std::to_string(size.width()) + "x" +
                                   std::to_string(size.height()) + ".*");
    const int result = RUN_ALL_TESTS();
    if (::testing::UnitTest::GetInstance()->test_to_run_count() == 0) {
        std::fprintf(stderr, "screen_tests: no tests for a %dx%d screen\n", size.width(),
                     size.height());
        return 1;
    }
    return result;
}
