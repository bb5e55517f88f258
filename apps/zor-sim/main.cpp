// zor-sim: a bus of simulated ZOR-10..ZOR-13 detectors on a new
// pseudo-terminal or behind a TCP port, for trying and learning the tool
// without a detector.

#include "sim/PollLoop.h"
#include "sim/PtyTransport.h"
#include "sim/SimBus.h"
#include "sim/SimBusFile.h"
#include "sim/TcpTransport.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kUsage = R"(Usage: zor-sim [OPTION]...
Simulates an RS-485 bus of ZOR-10..ZOR-13 gas detectors (Modbus RTU slaves)
on a new pseudo-terminal or behind a TCP port, for trying the service tool
without a detector.

  --bus FILE      the detectors that FILE describes, one per line
  --device LINE   adds a detector written like a line of a bus file, e.g.
                  --device "ZOR-11 address=5 gas=24 baud=9600"; may be repeated
  --link PATH     makes PATH a symbolic link to the pseudo-terminal and
                  removes it at exit (an old link there is replaced, a file
                  is not)
  --tcp PORT      serves the bus on TCP port PORT instead, as a serial device
                  server does: the RTU frames unchanged (0: a free port)
  --modbus-tcp PORT
                  serves the bus on TCP port PORT instead, as a Modbus TCP
                  gateway does (MBAP; unit id = detector address, 0 is a
                  broadcast and is not answered; 0: a free port)
  --listen HOST   the address --tcp and --modbus-tcp listen on (default
                  127.0.0.1, this machine only; 0.0.0.0 for every network)
  --verbose       logs every request served and answer sent on standard error
  --print-demo    prints the description of the demo bus, which documents
                  every key of a bus file, and exits
  --help          prints this text and exits

Without --bus and --device it runs the demo bus: ZOR-10 (ethane, %НКПР),
ZOR-11 (oxygen), ZOR-12 (carbon monoxide, млн-1) and ZOR-13 (carbon dioxide,
%об.) at addresses 1 to 4, 19200 baud 8E1, with test gas coming and going.

The first line of standard output is the path of the pseudo-terminal to open
in the tool (e.g. zor-tool --port PATH). A pty carries the rate but no parity:
a detector answers when the rate set on the port is its own. With --tcp or
--modbus-tcp it is the name the tool opens the bus by instead
(rtu-tcp://HOST:PORT or tcp://HOST:PORT, e.g. zor-tool --port tcp://127.0.0.1:1502);
the bus's serial side then runs at 19200 baud 8E1, and only detectors set so
answer. zor-sim runs until SIGINT or SIGTERM and then exits with status 0.

Exit status: 0 after a signal, 1 when the pseudo-terminal, the TCP port or
the link cannot be made, 2 for a bad option or bus description.
)";

struct Options {
    std::string busFile;
    std::vector<std::string> devices;
    std::string link;
    std::optional<zor::NetworkMode> tcpMode;
    uint16_t tcpPort = 0;
    std::string listenHost = "127.0.0.1";
    bool verbose = false;
};

bool parsePort(const std::string& text, uint16_t& port)
{
    char* end = nullptr;
    errno = 0;
    const unsigned long value = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value > 65535)
        return false;
    port = static_cast<uint16_t>(value);
    return true;
}

// The bus's serial side behind a TCP port: the demo bus's line.
zor::LineSettings deviceServerLine()
{
    zor::LineSettings line;
    line.baud = 19200;
    line.parity = zor::ParityKind::Even;
    return line;
}

int usageError(const std::string& message)
{
    std::cerr << "zor-sim: " << message << "\nTry 'zor-sim --help'.\n";
    return 2;
}

// Replaces a stale symbolic link, never anything else.
bool makeLink(const std::string& target, const std::string& path, std::string& error)
{
    struct stat st { };
    if (::lstat(path.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            error = path + ": exists and is not a symbolic link";
            return false;
        }
        ::unlink(path.c_str());
    }
    if (::symlink(target.c_str(), path.c_str()) != 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Options opt;
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&](std::string& into) {
            if (i + 1 >= args.size())
                return false;
            into = args[++i];
            return true;
        };
        if (a == "--help") {
            std::cout << kUsage;
            return 0;
        }
        if (a == "--print-demo") {
            std::cout << zor::demoBusText();
            return 0;
        }
        if (a == "--verbose") {
            opt.verbose = true;
        } else if (a == "--bus" || a == "--link" || a == "--listen") {
            if (!value(a == "--bus" ? opt.busFile : a == "--link" ? opt.link : opt.listenHost))
                return usageError(a + " needs a value");
        } else if (a == "--tcp" || a == "--modbus-tcp") {
            std::string port;
            if (opt.tcpMode)
                return usageError("--tcp and --modbus-tcp: one of them, once");
            if (!value(port) || !parsePort(port, opt.tcpPort))
                return usageError(a + " needs a port number 0..65535");
            opt.tcpMode = a == "--tcp" ? zor::NetworkMode::RtuOverTcp : zor::NetworkMode::ModbusTcp;
        } else if (a == "--device") {
            std::string line;
            if (!value(line))
                return usageError(a + " needs a value");
            opt.devices.push_back(line);
        } else {
            return usageError("unknown option " + a);
        }
    }

    if (opt.tcpMode && !opt.link.empty())
        return usageError("--link names a pseudo-terminal, which --tcp and --modbus-tcp do not make");

    // Signals arrive as readable data, handled by the loop like the port.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
    const int signalFd = ::signalfd(-1, &stopSignals, SFD_CLOEXEC);
    if (signalFd < 0) {
        std::cerr << "zor-sim: signalfd: " << std::strerror(errno) << "\n";
        return 1;
    }

    zor::PollLoop loop;
    zor::SimBus bus(loop);
    try {
        if (!opt.busFile.empty())
            zor::loadBusFile(bus, opt.busFile);
        for (size_t i = 0; i < opt.devices.size(); ++i)
            zor::addDetectorLine(bus, opt.devices[i], "--device " + std::to_string(i + 1));
        if (opt.busFile.empty() && opt.devices.empty())
            zor::loadBusText(bus, zor::demoBusText(), "demo bus");
    } catch (const std::exception& e) {
        std::cerr << "zor-sim: " << e.what() << "\n";
        return 2;
    }

    if (opt.verbose)
        bus.setTrace([&loop](const std::string& line) {
            const uint32_t t = loop.tickCount();
            std::fprintf(stderr, "[%6u.%03u] %s\n", t / 1000, t % 1000, line.c_str());
        });

    std::string error;
    std::unique_ptr<zor::TcpTransport> tcp;
    std::unique_ptr<zor::PtyTransport> pty;
    if (opt.tcpMode) {
        tcp = std::make_unique<zor::TcpTransport>(bus, loop, *opt.tcpMode, deviceServerLine());
        if (!tcp->listen(opt.listenHost, opt.tcpPort, error)) {
            std::cerr << "zor-sim: " << error << "\n";
            return 1;
        }
        std::cout << zor::NetworkName({ *opt.tcpMode, opt.listenHost, tcp->port() }) << std::endl;
    } else {
        pty = std::make_unique<zor::PtyTransport>(bus);
        if (!pty->open(error)) {
            std::cerr << "zor-sim: " << error << "\n";
            return 1;
        }
        if (!opt.link.empty() && !makeLink(pty->slavePath(), opt.link, error)) {
            std::cerr << "zor-sim: " << error << "\n";
            return 1;
        }
        std::cout << pty->slavePath() << std::endl;
        loop.watch(pty->fd(), [&pty] { pty->onReadable(); });
    }
    loop.watch(signalFd, [&loop] { loop.quit(); });
    loop.run();

    if (!opt.link.empty())
        ::unlink(opt.link.c_str());
    return 0;
}
