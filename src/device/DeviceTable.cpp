#include "device/DeviceTable.h"

#include <algorithm>

namespace zor {

TDevice* DeviceTable::at(int address) const
{
    return address >= 0 && address < Size ? entries_[static_cast<size_t>(address)].get() : nullptr;
}

TDevice* DeviceTable::create(int address, int32_t model, int32_t serial)
{
    if (!busAddress(address))
        return nullptr;
    auto& entry = entries_[static_cast<size_t>(address)];
    entry = std::make_unique<TDevice>(model, serial);
    return entry.get();
}

TDevice* DeviceTable::move(int from, int to)
{
    const TDevice* old = at(from);
    if (!old || !busAddress(to))
        return nullptr;
    if (from == to)
        return at(to);
    // An echo can carry any address byte: 248..255 would lie outside the
    // table, so such a move is refused rather than written past its end.
    entries_[static_cast<size_t>(to)] = std::make_unique<TDevice>(*old);
    entries_[static_cast<size_t>(from)].reset();
    return at(to);
}

void DeviceTable::remove(int address)
{
    if (address >= 0 && address < Size)
        entries_[static_cast<size_t>(address)].reset();
}

void DeviceTable::freeAll()
{
    for (auto& entry : entries_)
        entry.reset();
}

int DeviceTable::count() const
{
    return static_cast<int>(
        std::count_if(entries_.begin(), entries_.end(), [](const auto& e) { return e != nullptr; }));
}

} // namespace zor
