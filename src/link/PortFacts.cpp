#include "link/PortFacts.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zor {

namespace fs = std::filesystem;

namespace {

// The first line of a small file, empty when it cannot be read.
std::string firstLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

bool isPid(const std::string& name)
{
    return !name.empty() && name.find_first_not_of("0123456789") == std::string::npos;
}

// Runs a reentrant user or group lookup, growing its buffer while the entry
// does not fit (a group with many members). Null when there is no entry.
template <class Entry, class Lookup> const Entry* lookUp(Entry& entry, std::vector<char>& buf, Lookup lookup)
{
    constexpr size_t kLargest = 1 << 20;
    buf.resize(1024);
    Entry* found = nullptr;
    int err = 0;
    while ((err = lookup(&entry, buf.data(), buf.size(), &found)) == ERANGE && buf.size() < kLargest)
        buf.resize(buf.size() * 2);
    return err == 0 ? found : nullptr;
}

// Calls fn with each process directory and its number until fn says done.
template <class Fn> void eachProcess(const std::string& proc, Fn fn)
{
    std::error_code ec;
    for (fs::directory_iterator it(proc, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string pid = it->path().filename().string();
        if (isPid(pid) && fn(it->path(), pid))
            return;
    }
}

} // namespace

std::string DeviceNode(const std::string& name)
{
    std::error_code ec;
    const fs::path node = fs::canonical(name, ec);
    return ec ? name : node.string();
}

std::string NodeGroup(const std::string& name)
{
    struct stat st { };
    if (::stat(name.c_str(), &st) != 0)
        return {};
    // Joining a group that may not read and write the node would not help.
    if ((st.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP))
        return {};
    group g {};
    std::vector<char> buf;
    const group* found = lookUp(g, buf, [&](group* entry, char* text, size_t size, group** result) {
        return getgrgid_r(st.st_gid, entry, text, size, result);
    });
    // usermod takes a group by its number as well as by its name.
    return found ? found->gr_name : std::to_string(st.st_gid);
}

std::string UserName()
{
    passwd p {};
    std::vector<char> buf;
    const passwd* found = lookUp(p, buf, [](passwd* entry, char* text, size_t size, passwd** result) {
        return getpwuid_r(geteuid(), entry, text, size, result);
    });
    return found ? found->pw_name : std::string();
}

std::string ProgramHolding(const std::string& name, const std::string& proc)
{
    const std::string node = DeviceNode(name);
    std::string holder;
    eachProcess(proc, [&](const fs::path& dir, const std::string& pid) {
        std::error_code ec;
        for (fs::directory_iterator fd(dir / "fd", ec), end; !ec && fd != end; fd.increment(ec)) {
            std::error_code linkError;
            const fs::path target = fs::read_symlink(fd->path(), linkError);
            if (!linkError && target == node) {
                holder = firstLine(dir / "comm") + " (PID " + pid + ")";
                return true;
            }
        }
        return false;
    });
    return holder;
}

bool ProgramRunning(const std::string& program, const std::string& proc)
{
    bool running = false;
    eachProcess(proc, [&](const fs::path& dir, const std::string&) {
        running = firstLine(dir / "comm") == program;
        return running;
    });
    return running;
}

} // namespace zor
