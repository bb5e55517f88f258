#pragma once
// What the system shows about a port, for the explanations of a port that
// did not open: the device node behind a name, the group that owns it, who
// the tool runs as, and, from /proc, which programs run and which one holds
// a device. The /proc root is a parameter so that tests can lay out one of
// their own.

#include <string>

namespace zor {

// The device node a name leads to (a /dev/serial/by-id link, a link made
// for a pseudo-terminal); the name itself when it leads nowhere.
std::string DeviceNode(const std::string& name);
// The group that owns the device node, when the node lets that group read
// and write it; empty when it does not or the node cannot be read.
std::string NodeGroup(const std::string& name);
// The user the tool runs as; empty when unknown.
std::string UserName();
// The program that has the device open, as "minicom (PID 4242)"; empty when
// /proc shows none (other users' processes are hidden from an ordinary
// user).
std::string ProgramHolding(const std::string& name, const std::string& proc = "/proc");
// Whether a program of that name (as /proc/PID/comm gives it) runs.
bool ProgramRunning(const std::string& program, const std::string& proc = "/proc");

} // namespace zor
