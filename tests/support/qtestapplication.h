#pragma once

// One QApplication for a whole test program, made on first use and kept until the process ends,
// since widgets need one and Qt allows only one at a time.

#include <QApplication>

inline QApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "tovra_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* application =
        qobject_cast<QApplication*>(QCoreApplication::instance())
            ? qobject_cast<QApplication*>(QCoreApplication::instance())
            : new QApplication(argc, argv);
    return *application;
}
