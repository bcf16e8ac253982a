#include <QApplication>

#include <gtest/gtest.h>

// GUI tests share one application object.
int main(int argc, char** argv)
{
    // Real widgets, no display needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
