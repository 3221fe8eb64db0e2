// Test entry: a QApplication on the offscreen platform (unless the caller chose
// another one, as the Xvfb checks do), then every GoogleTest case.
#include <QApplication>
#include <gtest/gtest.h>
#include <cstdlib>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Where the sources (and ../shared beside them) and the build tree are.
    setenv("OSTREL_SOURCE_DIR", OSTREL_TEST_SOURCE_DIR, 0);
    setenv("OSTREL_BINARY_DIR", OSTREL_TEST_BINARY_DIR, 0);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
