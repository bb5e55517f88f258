#include "ports/TPortHolder.h"

#include "ports/DeviceListLoad.h"

#include <algorithm>

namespace zor::ports {

namespace {

template <class List> auto findToken(List& list, const void* token)
{
    return std::find_if(list.begin(), list.end(), [token](const auto& l) { return l.token == token; });
}

std::string linkName(const TPortEntry& e)
{
    return e.StableName.empty() ? e.PortName : e.StableName;
}

} // namespace

TPortHolder::TPortHolder(std::unique_ptr<PortProvider> provider)
    : provider_(std::move(provider))
{
    // The component's own defaults; the window then sets its values.
    SetComPort(TComPort::cpCOM1);
    SetBaudRate(19200);
    SetByteSize(8);
    SetParity(TParity::pNone);
    SetStopBits(TStopBits::sbOne);
    SetStreamProtocol(TStreamProtocol::spHardware);
    SetEventChar(0);
}

TPortHolder::~TPortHolder()
{
    // A listener may unregister itself while being told.
    while (!freeList_.empty()) {
        FreeListener l = std::move(freeList_.front());
        freeList_.erase(freeList_.begin());
        l.gone();
    }
}

void TPortHolder::SetComPortNo(uint16_t number)
{
    fComPortNo = number;
    const TPortEntry* e = Selected();
    chosen_ = e ? linkName(*e) : std::string();
    Notify(kPortChanged);
}

TComPort TPortHolder::ComPort() const
{
    // Port 0 has no member of its own either.
    if (fComPortNo < 1 || fComPortNo > 8)
        return TComPort::cpCOMxx;
    return static_cast<TComPort>(fComPortNo - 1);
}

void TPortHolder::SetComPort(TComPort port)
{
    if (port != TComPort::cpCOMxx)
        SetComPortNo(static_cast<uint16_t>(static_cast<int>(port) + 1));
}

const std::vector<TPortEntry>& TPortHolder::GetDeviceList()
{
    if (slDevices.empty())
        Load();
    return slDevices;
}

int TPortHolder::GetDeviceIndex() const
{
    auto it = std::find_if(
        slDevices.begin(), slDevices.end(), [this](const TPortEntry& e) { return e.Data == fComPortNo; });
    return it == slDevices.end() ? -1 : static_cast<int>(it - slDevices.begin());
}

void TPortHolder::SetDeviceIndex(int index)
{
    if (const TPortEntry* e = GetDevice(index))
        SetComPortNo(static_cast<uint16_t>(e->Data));
}

const TPortEntry* TPortHolder::GetDevice(int index) const
{
    if (index < 0 || index >= static_cast<int>(slDevices.size()))
        return nullptr;
    return &slDevices[static_cast<size_t>(index)];
}

void TPortHolder::Update()
{
    if (chosen_.empty())
        if (const TPortEntry* e = Selected())
            chosen_ = linkName(*e);
    Load();
    if (!chosen_.empty()) {
        auto it = std::find_if(
            slDevices.begin(), slDevices.end(), [this](const TPortEntry& e) { return linkName(e) == chosen_; });
        // A chosen port that is away selects nothing: another adapter may
        // take its number meanwhile.
        fComPortNo = it != slDevices.end() ? static_cast<uint16_t>(it->Data) : 0;
    }
    Notify(kPortChanged);
}

bool TPortHolder::WMDeviceChange(const TDeviceChange& msg)
{
    const bool portCameOrWent
        = (msg.event == TDeviceEvent::DeviceArrival || msg.event == TDeviceEvent::DeviceRemoveComplete)
        && msg.type == TDeviceType::Port;
    if (msg.event != TDeviceEvent::DevNodesChanged && !portCameOrWent)
        return false;
    Update();
    return true;
}

void TPortHolder::NotifyAdd(const void* token, TPortNotifyEvent event)
{
    if (findToken(NotifyList, token) == NotifyList.end())
        NotifyList.push_back({ token, std::move(event) });
}

void TPortHolder::NotifyDelete(const void* token)
{
    if (auto it = findToken(NotifyList, token); it != NotifyList.end())
        NotifyList.erase(it);
}

void TPortHolder::FreeNotification(const void* token, std::function<void()> gone)
{
    if (findToken(freeList_, token) == freeList_.end())
        freeList_.push_back({ token, std::move(gone) });
}

void TPortHolder::RemoveFreeNotification(const void* token)
{
    if (auto it = findToken(freeList_, token); it != freeList_.end())
        freeList_.erase(it);
}

void TPortHolder::Notify(int32_t code)
{
    // A listener may add or remove listeners while being told; only those
    // still registered when their turn comes are called.
    std::vector<const void*> tokens;
    for (const Listener& l : NotifyList)
        tokens.push_back(l.token);
    for (const void* token : tokens) {
        auto it = findToken(NotifyList, token);
        if (it == NotifyList.end() || !it->event)
            continue;
        TPortNotifyEvent event = it->event;
        event(*this, code);
    }
}

std::string TPortHolder::PortName() const
{
    const TPortEntry* e = Selected();
    return e ? e->PortName : "COM" + std::to_string(fComPortNo);
}

std::string TPortHolder::LinkName() const
{
    const TPortEntry* e = Selected();
    return e ? linkName(*e) : std::string();
}

bool TPortHolder::Choose(const std::string& name)
{
    const std::vector<TPortEntry>& list = GetDeviceList();
    auto it = std::find_if(list.begin(), list.end(),
        [&](const TPortEntry& e) { return !name.empty() && (e.StableName == name || e.PortName == name); });
    if (it == list.end())
        return false;
    SetComPortNo(static_cast<uint16_t>(it->Data));
    return true;
}

int32_t TPortHolder::AddPort(const std::string& portName, const std::string& description)
{
    GetDeviceList();
    for (const TPortEntry& e : slDevices)
        if (e.PortName == portName)
            return e.Data;
    TPortEntry entry;
    entry.Data = kFirstExtraPort + static_cast<int32_t>(extras_.size());
    entry.PortName = entry.NameDeviceDos = portName;
    entry.Description = description;
    entry.NameFriendly = FriendlyName(portName, description);
    extras_.push_back(entry);
    AddPortEntry(slDevices, entry);
    Notify(kPortChanged);
    return entry.Data;
}

void TPortHolder::Load()
{
    PlatformPorts ports = provider_ ? provider_->ReadPorts() : PlatformPorts {};
    slDevices = DeviceListLoad(ports.map, std::move(ports.devices), fEnumPorts);
    for (const TPortEntry& e : extras_)
        AddPortEntry(slDevices, e);
}

const TPortEntry* TPortHolder::Selected() const
{
    return GetDevice(GetDeviceIndex());
}

void TPortHolder::SetBaudRate(uint32_t rate)
{
    CommCfg_.BaudRate = rate;
    ApplyStreamProtocol();
}

void TPortHolder::SetByteSize(uint8_t size)
{
    CommCfg_.ByteSize = (size >= 4 && size <= 8) ? size : 8;
    ApplyStreamProtocol();
}

void TPortHolder::SetParity(TParity parity)
{
    CommCfg_.Parity = static_cast<uint8_t>(parity);
    if (parity == TParity::pNone)
        CommCfg_.Flags &= ~uint32_t(dcbParity);
    else
        CommCfg_.Flags |= dcbParity;
    ApplyStreamProtocol();
}

void TPortHolder::SetStopBits(TStopBits bits)
{
    CommCfg_.StopBits = static_cast<uint8_t>(bits);
    ApplyStreamProtocol();
}

void TPortHolder::SetStreamProtocol(TStreamProtocol protocol)
{
    fProtocol = protocol;
    ApplyStreamProtocol();
}

void TPortHolder::SetRS485Mode(bool on)
{
    fRS485Mode = on;
    ApplyStreamProtocol();
}

void TPortHolder::SetEventChar(char c)
{
    CommCfg_.EventChar = c;
    ApplyStreamProtocol();
}

void TPortHolder::ApplyStreamProtocol()
{
    CommCfg_.Flags = StreamProtocolFlags(CommCfg_.Flags, fProtocol, fRS485Mode);
    CommCfg_.XonLim = 80;
    CommCfg_.XoffLim = 200;
    CommCfg_.XonChar = 0x11;
    CommCfg_.XoffChar = 0x13;
}

void TPortHolder::DeriveStreamProtocol()
{
    const StreamMode m = zor::ports::DeriveStreamProtocol(CommCfg_.Flags);
    fProtocol = m.protocol;
    fRS485Mode = m.rs485Mode;
}

bool TPortHolder::ConfigDialog(LineSettingsDialog& dialog)
{
    DeriveStreamProtocol();
    CommConfig edited = CommCfg_;
    if (!dialog.edit(PortName(), edited))
        return false;
    CommCfg_ = edited;
    DeriveStreamProtocol();
    return true;
}

} // namespace zor::ports
