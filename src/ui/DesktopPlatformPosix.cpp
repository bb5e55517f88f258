#include "ui/DesktopPlatform.h"

#include "link/PortByName.h"
#include "link/PosixSerialPort.h"
#include "link/TcpPort.h"
#include "ports/UdevPortMonitor.h"
#include "ports/UdevPortProvider.h"
#include "sim/PtyTransport.h"
#include "ui/ErrorReport.h"

#include <QSocketNotifier>

namespace zor::ui {

namespace {

// udev's event socket, read when Qt sees it readable.
class UdevWatch final : public PortWatch {
public:
    explicit UdevWatch(std::function<void(const ports::PortEvent&)> onChange)
        : monitor_(std::move(onChange))
    {
        if (monitor_.fd() < 0)
            return;
        notifier_ = std::make_unique<QSocketNotifier>(monitor_.fd(), QSocketNotifier::Read);
        QObject::connect(
            notifier_.get(), &QSocketNotifier::activated, [this] { Guarded([this] { monitor_.HandlePending(); }); });
    }

private:
    ports::UdevPortMonitor monitor_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

// The bus on a new pseudo-terminal; the tool opens its slave side.
class PtyLine final : public SimLine {
public:
    explicit PtyLine(SimBus& bus)
        : pty_(bus)
    {
    }

    bool Open(std::string& error)
    {
        if (!pty_.open(error))
            return false;
        notifier_ = std::make_unique<QSocketNotifier>(pty_.fd(), QSocketNotifier::Read);
        QObject::connect(
            notifier_.get(), &QSocketNotifier::activated, [this] { Guarded([this] { pty_.onReadable(); }); });
        return true;
    }

    const std::string& PortName() const override { return pty_.slavePath(); }

private:
    PtyTransport pty_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace

std::unique_ptr<SerialPort> MakeSerialPort()
{
    return std::make_unique<PortByName>(std::make_unique<PosixSerialPort>(), std::make_unique<TcpPort>());
}

std::unique_ptr<ports::PortProvider> MakePortProvider()
{
    return std::make_unique<ports::UdevPortProvider>();
}

std::unique_ptr<PortWatch> WatchPorts(std::function<void(const ports::PortEvent&)> onChange)
{
    return std::make_unique<UdevWatch>(std::move(onChange));
}

std::unique_ptr<SimLine> OpenSimLine(SimBus& bus, std::string& error)
{
    auto line = std::make_unique<PtyLine>(bus);
    if (!line->Open(error))
        return nullptr;
    return line;
}

} // namespace zor::ui
