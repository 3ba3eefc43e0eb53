#include "files/interrupt_cleanup.h"

#include <array>
#include <atomic>
#include <csignal>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace scenario::files {

namespace {

#ifdef _WIN32
using NativeChar = wchar_t;
#else
using NativeChar = char;
#endif

// A name is written into its slot first and only then marked as listed, so that the handler
// never reads half a name.
struct Slot {
    std::atomic<int> state{0};  // 0 free, 1 being filled, 2 listed
    std::array<NativeChar, 4096> name{};
};

std::array<Slot, 16> slots;

#ifdef _WIN32
// Set while a set of outputs is renamed; the console handler, which runs on a thread of its
// own, waits for it to clear.
std::atomic<bool> holding{false};
#else
sigset_t interrupts() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
}
#endif

void remove_listed() noexcept {
    for (auto& slot : slots) {
        if (slot.state.load() == 2) {
#ifdef _WIN32
            DeleteFileW(slot.name.data());
#else
            unlink(slot.name.data());
#endif
        }
    }
}

#ifdef _WIN32
BOOL WINAPI on_console_event(DWORD) {
    while (holding.load()) {
        Sleep(1);
    }
    remove_listed();
    return FALSE;  // the default handler ends the program
}
#else
void on_signal(int number) {
    remove_listed();
    std::signal(number, SIG_DFL);
    std::raise(number);
}
#endif

}  // namespace

RemovedOnInterrupt::RemovedOnInterrupt(const std::filesystem::path& file) {
    const auto& native = file.native();
    for (std::size_t i = 0; i < slots.size(); ++i) {
        int free = 0;
        if (native.size() < slots[i].name.size() &&
            slots[i].state.compare_exchange_strong(free, 1)) {
            std::memcpy(slots[i].name.data(), native.c_str(),
                        (native.size() + 1) * sizeof(NativeChar));
            slots[i].state.store(2);
            slot_ = static_cast<int>(i);
            return;
        }
    }
    // No room (more than sixteen files at once, or an over-long name): such a file is not
    // removed on an interrupt, which only leaves a temporary behind.
}

RemovedOnInterrupt::~RemovedOnInterrupt() {
    release();
}

void RemovedOnInterrupt::release() noexcept {
    if (slot_ >= 0) {
        slots[static_cast<std::size_t>(slot_)].state.store(0);
        slot_ = -1;
    }
}

#ifdef _WIN32
InterruptsHeld::InterruptsHeld() {
    holding.store(true);
}
InterruptsHeld::~InterruptsHeld() {
    holding.store(false);
}
#else
InterruptsHeld::InterruptsHeld() {
    const sigset_t set = interrupts();
    sigprocmask(SIG_BLOCK, &set, nullptr);
}
InterruptsHeld::~InterruptsHeld() {
    const sigset_t set = interrupts();
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
}
#endif

void remove_listed_files_on_interrupt() {
#ifdef _WIN32
    SetConsoleCtrlHandler(on_console_event, TRUE);
#else
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
#endif
}

}  // namespace scenario::files
