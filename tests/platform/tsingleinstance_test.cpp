#include "platform/tsingleinstance.h"
#include "tests/support/helperprocess.h"
#include "tests/support/qtprinters.h"

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

// Runs the helper as a separate process with its runtime folder in dir.
HelperResult runHelper(const QString& dir) {
    return RunHelper(QStringLiteral(TOVRA_PROGRAM_DIR "/single_instance_helper"), {},
                     {QStringLiteral("XDG_RUNTIME_DIR"), dir});
}

TEST(TSingleInstanceTest, SecondHolderInThisProcessIsRefusedUntilFirstEnds) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Tovra3.lock"));
    {
        TSingleInstance first(file);
        ASSERT_TRUE(first.Acquire());
        EXPECT_TRUE(first.Acquire()) << "holding it already counts";
        TSingleInstance second(file);
        EXPECT_FALSE(second.Acquire());
    }
    TSingleInstance third(file);
    EXPECT_TRUE(third.Acquire());
}

TEST(TSingleInstanceTest, UnopenableLockFileCountsAsRefused) {
    TSingleInstance lock(QStringLiteral("/nonexistent-folder/Tovra3.lock"));
    EXPECT_FALSE(lock.Acquire());
}

TEST(TSingleInstanceTest, LockFileLivesInRuntimeFolderElsePerUserInTemporaryFolder) {
    QTemporaryDir runtime;
    QTemporaryDir temporary;
    const QString perUser = QStringLiteral("Tovra3-%1.lock").arg(::getuid());
    const struct {
        QString runtimeDir;  // empty: unset
        QString expected;
    } cases[] = {
        {runtime.path(), runtime.filePath(QStringLiteral("Tovra3.lock"))},
        {QString(), temporary.filePath(perUser)},
        {runtime.filePath(QStringLiteral("missing")), temporary.filePath(perUser)},
    };
    qputenv("TMPDIR", temporary.path().toUtf8());
    for (const auto& c : cases) {
        if (c.runtimeDir.isEmpty()) {
            qunsetenv("XDG_RUNTIME_DIR");
        } else {
            qputenv("XDG_RUNTIME_DIR", c.runtimeDir.toUtf8());
        }
        EXPECT_EQ(TSingleInstance::LockFileName(QStringLiteral("Tovra3")), c.expected)
            << c.runtimeDir.toStdString();
    }
    qunsetenv("XDG_RUNTIME_DIR");
    qunsetenv("TMPDIR");
}

TEST(TSingleInstanceTest, SecondProcessShowsRefusalAndEnds) {
    QTemporaryDir dir;
    {
        TSingleInstance running(dir.filePath(QStringLiteral("Tovra3.lock")));
        ASSERT_TRUE(running.Acquire());
        const HelperResult refused = runHelper(dir.path());
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_EQ(refused.output,
                  QStringLiteral("Tovra3|%1|Aplikasi Tovra III [Velmo History] Sudah Berjalan! ")
                      .arg(int(QMessageBox::Critical)));
    }
    // Once the first copy has ended, the next one starts.
    const HelperResult started = runHelper(dir.path());
    EXPECT_EQ(started.exitCode, 0);
    EXPECT_EQ(started.output, QString());
}

}  // namespace
