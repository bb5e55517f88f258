#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle("ZOR10 Tool 1.4.1");
    window.resize(706, 719);
    window.show();
    return app.exec();
}
