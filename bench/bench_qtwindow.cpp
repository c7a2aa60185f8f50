// The start-up baseline: a Qt Widgets program that shows one empty main window of the player
// window's size and runs its event loop.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Baseline"));
    window.resize(670, 420);
    window.show();
    return QApplication::exec();
}
