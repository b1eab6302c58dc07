#include <QCoreApplication>
#include <gtest/gtest.h>

// The program without a display has only a core application object; so do its tests.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
