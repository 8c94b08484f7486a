#include <QGuiApplication>
#include <gtest/gtest.h>

// Page images measure and draw text, which needs a QGuiApplication; the offscreen platform
// serves when the tests run without a display.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
