#pragma once
// The window's table of device records, one entry per bus address 0..247;
// an empty entry means no device was found there. The table owns its
// records.

#include "device/Device.h"

#include <array>
#include <cstdint>
#include <memory>

namespace zor {

class DeviceTable {
public:
    static constexpr int Size = 248;

    // The record at an address; null when there is none or the address lies
    // outside the table.
    TDevice* at(int address) const;
    TDevice* operator[](int address) const { return at(address); }

    // A new record at a bus address 1..247, replacing whatever was there;
    // null (and nothing created) for any other address.
    TDevice* create(int address, int32_t model, int32_t serial);

    // Copies the record at `from` to `to` and frees the one at `from`.
    // Returns the record at `to`, or null when there is nothing to move or
    // `to` is no bus address; the table is then unchanged.
    TDevice* move(int from, int to);

    // Frees the record at an address, if any.
    void remove(int address);

    // Frees every record.
    void freeAll();

    // How many entries hold a record.
    int count() const;

private:
    static bool busAddress(int address) { return address >= 1 && address < Size; }
    std::array<std::unique_ptr<TDevice>, Size> entries_;
};

} // namespace zor
