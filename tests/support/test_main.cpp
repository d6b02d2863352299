// Shared main of every test program: offscreen platform with a full-HD
// screen, a private runtime folder, one QApplication for the whole run.
#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        const QByteArray config = QUILLON_TEST_SUPPORT_DIR "/offscreen.json";
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config);
    }
    // Each test process has its own runtime folder, so the single-instance
    // lock of one never stops another running in parallel.
    static QTemporaryDir runtime;  // outlives the lock file kept inside it
    QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
