#include "ui/LineMemoryStore.h"

#include <QSettings>

namespace zor::ui {

namespace {
// One settings file per user, the same for every way the program starts.
constexpr const char* kOwner = "zor-tool";
} // namespace

void StoreLineMemory(const LineMemory& line)
{
    QSettings s(QSettings::IniFormat, QSettings::UserScope, kOwner, kOwner);
    s.beginGroup("line");
    s.setValue("port", QString::fromStdString(line.port));
    s.setValue("baud", line.baud);
    s.setValue("dataBits", line.byteSize);
    s.setValue("parity", line.parity);
    s.setValue("stopBits", line.stopBits);
    s.setValue("rs485", line.rs485);
    s.setValue("network", QString::fromStdString(line.network));
}

std::optional<LineMemory> LoadLineMemory()
{
    QSettings s(QSettings::IniFormat, QSettings::UserScope, kOwner, kOwner);
    s.beginGroup("line");
    if (!s.contains("baud"))
        return std::nullopt;
    LineMemory line;
    line.port = s.value("port").toString().toStdString();
    line.baud = s.value("baud", line.baud).toUInt();
    line.byteSize = static_cast<uint8_t>(s.value("dataBits", line.byteSize).toUInt());
    line.parity = static_cast<uint8_t>(s.value("parity", line.parity).toUInt());
    line.stopBits = static_cast<uint8_t>(s.value("stopBits", line.stopBits).toUInt());
    line.rs485 = s.value("rs485", line.rs485).toBool();
    line.network = s.value("network").toString().toStdString();
    return line;
}

} // namespace zor::ui
