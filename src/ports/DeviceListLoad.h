#pragma once
// The making of the port catalogue from its two sources: the platform's port
// map (numbered port names) and the device records that describe the ports.

#include "ports/TPortEntry.h"

#include <vector>

namespace zor::ports {

// Numbers given to described ports that have no number of their own.
inline constexpr int32_t kFirstUnnumberedPort = 4097;

// The catalogue in ascending order of number, one entry per number. Each
// port of the map takes the first device record that names it (by port name,
// ignoring case, or by "(name)" in its description) and shows as
// "name (description)"; with epFullPresent a port that no remaining record
// describes is left out. Records left over with a port name become entries
// of their own. With epQuickAll the records are not looked at.
std::vector<TPortEntry> DeviceListLoad(const PortMap& map, std::vector<TPortEntry> devices, TEnumPorts mode);

// Adds an entry at its place in ascending order of number; false, and
// nothing added, when the number is already taken.
bool AddPortEntry(std::vector<TPortEntry>& list, TPortEntry entry);

// The name without the blanks around it.
std::string Trimmed(const std::string& s);
// The number after the "COM" a name begins with; 0 when the rest is not a
// number.
int32_t ComNumber(const std::string& name);

// "name (description)", or the bare name without a description.
std::string FriendlyName(const std::string& portName, const std::string& description);

} // namespace zor::ports
