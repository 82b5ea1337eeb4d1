#include "TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace TestEnvironment {
void setRoot(const QString &root);
}

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);

    QTemporaryDir sandbox(QDir::tempPath() + QStringLiteral("/wrenlog-test-XXXXXX"));
    if (!sandbox.isValid())
        return 2;
    const QByteArray root = sandbox.path().toLocal8Bit();
    for (const char *name : {"config", "data", "cache", "home", "runtime"})
        QDir(sandbox.path()).mkpath(QString::fromLatin1(name));
    setenv("XDG_CONFIG_HOME", (root + "/config").constData(), 1);
    setenv("XDG_DATA_HOME", (root + "/data").constData(), 1);
    setenv("XDG_CACHE_HOME", (root + "/cache").constData(), 1);
    setenv("HOME", (root + "/home").constData(), 1);
    setenv("XDG_RUNTIME_DIR", (root + "/runtime").constData(), 1);
    QFile::setPermissions(sandbox.path() + QStringLiteral("/runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // Texts that follow the system's formats (the dates of the error log's
    // sections) come out the same on every machine.
    setenv("LC_ALL", "C.UTF-8", 1);
    if (!getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    TestEnvironment::setRoot(sandbox.path());

    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
