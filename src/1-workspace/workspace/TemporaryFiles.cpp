#include "workspace/TemporaryFiles.h"

#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace kav {
namespace {

// A write has at most a few temporary files at once (a problem's two files,
// a trace and a narration beside the results).
constexpr std::size_t Slots = 16;

struct Slot {
    std::atomic<bool> inUse{false};
    char name[PATH_MAX] = {};
};

// Static storage: the signal handler reads it as it is, with no allocation.
std::array<Slot, Slots> registered;
std::mutex claiming;

// A free slot now holding pattern, or none.
Slot* Claim(const std::string& pattern) {
    if (pattern.size() >= PATH_MAX)
        return nullptr;
    const std::lock_guard<std::mutex> lock(claiming);
    for (Slot& slot : registered) {
        if (!slot.inUse.load()) {
            std::memcpy(slot.name, pattern.c_str(), pattern.size() + 1);
            slot.inUse.store(true);
            return &slot;
        }
    }
    return nullptr;
}

// unlink, sigaction and raise are async-signal-safe.
extern "C" void RemoveAndEnd(int signalNumber) {
    for (Slot& slot : registered) {
        if (slot.inUse.load() && ::unlink(slot.name) != 0)
            ::rmdir(slot.name);
    }
    struct sigaction fallBack {};
    fallBack.sa_handler = SIG_DFL;
    sigemptyset(&fallBack.sa_mask);
    ::sigaction(signalNumber, &fallBack, nullptr);
    // Delivered when the handler returns, and then ends the program.
    ::raise(signalNumber);
}

}  // namespace

int MakeTemporaryFile(const std::string& pattern, std::string& made) {
    made.clear();
    Slot* slot = Claim(pattern);
    if (slot == nullptr) {
        // Not removable on a signal, but the write itself still works.
        std::string name = pattern;
        const int fd = ::mkstemp(name.data());
        if (fd >= 0)
            made = name;
        return fd;
    }
    // mkstemp fills in the slot's own name before it makes the file.
    const int fd = ::mkstemp(slot->name);
    if (fd < 0) {
        const int error = errno;
        slot->inUse.store(false);
        errno = error;
        return -1;
    }
    made = slot->name;
    return fd;
}

void ForgetTemporaryFile(const std::string& name) {
    if (name.empty())
        return;
    const std::lock_guard<std::mutex> lock(claiming);
    for (Slot& slot : registered) {
        if (slot.inUse.load() && name == slot.name) {
            slot.inUse.store(false);
            return;
        }
    }
}

std::string MakeTemporaryFolder(const std::string& pattern) {
    Slot* slot = Claim(pattern);
    if (slot == nullptr)
        return {};
    if (::mkdtemp(slot->name) == nullptr) {
        slot->inUse.store(false);
        return {};
    }
    return slot->name;
}

void RemoveTemporaryFolder(const std::string& name) {
    if (name.empty())
        return;
    ::rmdir(name.c_str());
    ForgetTemporaryFile(name);
}

void RemoveTemporaryFilesOnSignals() {
    struct sigaction action {};
    action.sa_handler = RemoveAndEnd;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&action.sa_mask, signalNumber);
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal the program was started ignoring (nohup) stays ignored.
        struct sigaction old {};
        if (::sigaction(signalNumber, nullptr, &old) == 0 && old.sa_handler == SIG_IGN)
            continue;
        ::sigaction(signalNumber, &action, nullptr);
    }
}

}  // namespace kav
