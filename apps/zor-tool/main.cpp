// zor-tool: the service tool for ZOR-10..ZOR-13 gas detectors on an RS-485
// bus. Run without arguments it starts as the technicians know it; the
// options name a port the platform does not list or start the built-in
// demonstration bus.

#include "link/NetworkName.h"
#include "ui/Bind.h"
#include "ui/DesktopApp.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct Options {
    QCommandLineParser parser;
    QCommandLineOption version { QStringList { "v", "version" }, "Выводит версию программы." };
    QCommandLineOption port { "port",
        QString("Добавляет порт PATH в список портов и выбирает его: путь к порту, который система не показывает "
                "(например, псевдотерминал моста или симулятора), или сетевая шина: tcp://УЗЕЛ:ПОРТ для шлюза "
                "Modbus TCP, rtu-tcp://УЗЕЛ:ПОРТ для преобразователя RS-485 - Ethernet, передающего кадры RTU без "
                "изменений (соединение ждётся до ")
            + QString::number(zor::kConnectTimeoutMs / 1000) + " с).",
        "PATH" };
    QCommandLineOption demo { "demo",
        "Запускает встроенную демонстрационную шину с четырьмя приборами на псевдотерминале и выбирает её." };

    explicit Options(const QCoreApplication& app)
    {
        parser.setApplicationDescription(
            "Сервисная программа для газоанализаторов ZOR-10..ZOR-13 на шине RS-485 (Modbus RTU).");
        parser.addHelpOption();
        parser.addOptions({ version, port, demo });
        parser.process(app);
        if (parser.isSet(version)) {
            std::printf("%s\n", zor::ui::MainWindow::Caption);
            std::exit(0);
        }
    }
};

// Help and version need no display.
bool TextOnly(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        for (const char* option : { "-h", "--help", "--help-all", "-v", "--version" })
            if (std::strcmp(argv[i], option) == 0)
                return true;
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (TextOnly(argc, argv)) {
        QCoreApplication app(argc, argv);
        Options options(app);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("zor-tool");
    Options options(app);

    // Numbers are written with the decimal separator of the user's regional
    // settings.
    zor::ui::DesktopApp tool(zor::ui::SystemSeparator());
    // The demonstration bus runs at its own line settings, and keeps a
    // journal of its own run only.
    if (!options.parser.isSet(options.demo)) {
        tool.Recall();
        tool.OpenJournal(zor::ui::DesktopApp::DefaultJournalPath(), true);
    } else {
        tool.OpenScratchJournal();
    }
    if (options.parser.isSet(options.port))
        tool.UsePort(options.parser.value(options.port).toStdString(), "");
    if (options.parser.isSet(options.demo)) {
        std::string error;
        if (!tool.StartDemo(error)) {
            std::fprintf(stderr, "zor-tool: демонстрационная шина не запущена: %s\n", error.c_str());
            return 1;
        }
    }
    tool.Show();
    return app.exec();
}
