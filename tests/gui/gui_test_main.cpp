#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>

int main(int argc, char** argv) {
    // Test discovery runs this too, outside ctest's environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Recent files and other settings go to a folder of the test's own, not the user's.
    const QByteArray config = QDir::temp().filePath("tesvane_gui_test_config").toUtf8();
    qputenv("XDG_CONFIG_HOME", config);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
