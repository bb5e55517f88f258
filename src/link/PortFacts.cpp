#include "link/PortFacts.h"

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
    group g {};
    group* found = nullptr;
    std::vector<char> buf(4096);
    if (getgrgid_r(st.st_gid, &g, buf.data(), buf.size(), &found) != 0 || !found)
        return std::to_string(st.st_gid);
    return g.gr_name;
}

std::string UserName()
{
    passwd p {};
    passwd* found = nullptr;
    std::vector<char> buf(4096);
    if (getpwuid_r(geteuid(), &p, buf.data(), buf.size(), &found) != 0 || !found)
        return {};
    return p.pw_name;
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
