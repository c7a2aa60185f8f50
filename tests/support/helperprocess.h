#pragma once

// Runs a helper program of the test suite as a process of its own and collects what it printed.
// The event loop of the test program runs meanwhile, so a server of the test (a socket the helper
// talks to) can answer.

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QProcess>
#include <QStringList>
#include <QTimer>

#include <utility>

#include "tests/support/qtestapplication.h"

struct HelperResult {
    int exitCode = -1;
    QString output;
};

inline HelperResult RunHelper(const QString& program, const QStringList& arguments,
                              const std::pair<QString, QString>& variable,
                              const QString& workingDir = QString()) {
    TestApplication();
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(variable.first, variable.second);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(workingDir);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);  // a hang guard
    process.start(program, arguments);
    loop.exec();
    EXPECT_EQ(process.state(), QProcess::NotRunning) << "the helper did not end";
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput())};
}
