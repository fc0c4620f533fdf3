// Window tests run GoogleTest inside a QApplication on the offscreen platform. The
// pictures the tests take of the windows go to the build tree unless
// ZORVIK_SCREENSHOT_DIR names another folder; the AppStream metadata shows two of them.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef ZORVIK_SCREENSHOT_DIR
    if (qEnvironmentVariableIsEmpty("ZORVIK_SCREENSHOT_DIR"))
        qputenv("ZORVIK_SCREENSHOT_DIR", ZORVIK_SCREENSHOT_DIR);
#endif
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
