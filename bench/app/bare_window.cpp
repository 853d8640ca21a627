// The baseline of the start-up benchmark: a bare Qt Widgets program that shows
// an empty main window, says so on standard output and waits to be ended.
#include <QApplication>
#include <QMainWindow>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(600, 410);
    window.show();
    QTimer::singleShot(0, [] {
        std::printf("shown\n");
        std::fflush(stdout);
    });
    return app.exec();
}
