#pragma once
// The holder of the chosen serial port: its number, the catalogue of the
// ports present, the listeners told when the choice or the catalogue changes,
// and the line settings edited in the settings dialog. Its own port is never
// opened: the window copies the number, the port name and the settings into
// the Modbus link.

#include "ports/LineConfig.h"
#include "ports/LineSettingsDialog.h"
#include "ports/PortProvider.h"
#include "ports/TDeviceChange.h"
#include "ports/TPortEntry.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zor::ports {

enum class TComPort : uint8_t { cpCOM1, cpCOM2, cpCOM3, cpCOM4, cpCOM5, cpCOM6, cpCOM7, cpCOM8, cpCOMxx };

class TPortHolder;
// The code tells what happened; kPortChanged is the only one sent.
using TPortNotifyEvent = std::function<void(TPortHolder& sender, int32_t code)>;
// The selected port or the catalogue changed.
inline constexpr int32_t kPortChanged = 3;

// Numbers of the ports added with AddPort, above any the platform gives.
inline constexpr int32_t kFirstExtraPort = 0xF001;

class TPortHolder {
public:
    explicit TPortHolder(std::unique_ptr<PortProvider> provider);
    // Tells everyone who asked for it (FreeNotification) that it is going.
    ~TPortHolder();
    TPortHolder(const TPortHolder&) = delete;
    TPortHolder& operator=(const TPortHolder&) = delete;

    // The chosen port; writing always tells the listeners, even when the
    // number stays the same.
    uint16_t ComPortNo() const { return fComPortNo; }
    void SetComPortNo(uint16_t number);
    // cpCOM1..cpCOM8 for ports 1 to 8, cpCOMxx for any other; writing
    // cpCOMxx changes nothing.
    TComPort ComPort() const;
    void SetComPort(TComPort port);
    TEnumPorts EnumPorts() const { return fEnumPorts; }
    void SetEnumPorts(TEnumPorts mode) { fEnumPorts = mode; }

    // The catalogue, built first when it is empty.
    const std::vector<TPortEntry>& GetDeviceList();
    // Position of the entry of ComPortNo, -1 when there is none.
    int GetDeviceIndex() const;
    // Chooses the entry at a position; an invalid position changes nothing.
    void SetDeviceIndex(int index);
    // The entry at a position; null for an invalid position.
    const TPortEntry* GetDevice(int index) const;
    // Builds the catalogue anew and tells the listeners. A chosen port that
    // is still there, or is back, is chosen, even when its number moved;
    // while it is away nothing is selected, whatever takes its number.
    void Update();
    // A device-change message: runs Update and returns true when it says the
    // device tree changed or a port came or went.
    bool WMDeviceChange(const TDeviceChange& msg);

    // Listeners, one per token; adding a token again changes nothing.
    void NotifyAdd(const void* token, TPortNotifyEvent event);
    void NotifyDelete(const void* token);
    // Called from the destructor, one per token.
    void FreeNotification(const void* token, std::function<void()> gone);
    void RemoveFreeNotification(const void* token);

    // The name the chosen port opens by: the entry's port name (a device path
    // here), or "COM" and the number when the catalogue has no such entry.
    std::string PortName() const;
    // The name the link opens the chosen port by: the adapter's stable name
    // where it has one, else its device path; empty while no listed port is
    // chosen.
    std::string LinkName() const;
    // Chooses the listed port whose stable name or device path is name;
    // false, and nothing changes, when none is.
    bool Choose(const std::string& name);
    // Lists a port that the platform does not (a pseudo-terminal named on the
    // command line, the demonstration bus); it stays through rebuilds.
    // Returns the number to choose it by. A port already listed under that
    // name keeps its entry and its number is returned.
    int32_t AddPort(const std::string& portName, const std::string& description);

    // The line settings. Every setter ends by re-deriving the flag word.
    const CommConfig& CommCfg() const { return CommCfg_; }
    uint32_t BaudRate() const { return CommCfg_.BaudRate; }
    void SetBaudRate(uint32_t rate);
    uint8_t ByteSize() const { return CommCfg_.ByteSize; }
    // A size outside 4..8 is stored as 8.
    void SetByteSize(uint8_t size);
    TParity Parity() const { return static_cast<TParity>(CommCfg_.Parity); }
    // Parity checking is on for every parity but pNone.
    void SetParity(TParity parity);
    TStopBits StopBits() const { return static_cast<TStopBits>(CommCfg_.StopBits); }
    void SetStopBits(TStopBits bits);
    TStreamProtocol StreamProtocol() const { return fProtocol; }
    void SetStreamProtocol(TStreamProtocol protocol);
    bool RS485Mode() const { return fRS485Mode; }
    void SetRS485Mode(bool on);
    char EventChar() const { return CommCfg_.EventChar; }
    void SetEventChar(char c);

    // Shows the settings dialog for the chosen port. On confirm the edited
    // settings are kept and the flow-control mode is read back from them; on
    // cancel nothing changes. Returns whether the user confirmed.
    bool ConfigDialog(LineSettingsDialog& dialog);

private:
    struct Listener {
        const void* token;
        TPortNotifyEvent event;
    };
    struct FreeListener {
        const void* token;
        std::function<void()> gone;
    };

    void Load();
    void Notify(int32_t code);
    void ApplyStreamProtocol();
    void DeriveStreamProtocol();
    const TPortEntry* Selected() const;

    std::unique_ptr<PortProvider> provider_;
    uint16_t fComPortNo = 0;
    TEnumPorts fEnumPorts = TEnumPorts::epFullPresent;
    std::vector<TPortEntry> slDevices;
    std::vector<TPortEntry> extras_;
    // The link name of the port last chosen, kept while it is away.
    std::string chosen_;
    std::vector<Listener> NotifyList;
    std::vector<FreeListener> freeList_;
    CommConfig CommCfg_;
    TStreamProtocol fProtocol = TStreamProtocol::spNone;
    bool fRS485Mode = false;
};

} // namespace zor::ports
