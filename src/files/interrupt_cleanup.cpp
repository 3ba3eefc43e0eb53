#include "files/interrupt_cleanup.h"

#include <array>
#include <atomic>
#include <cstring>

#include "files/os.h"

namespace scenario::files {

namespace {

// A name is written into its slot first and only then marked as listed, so that the handler
// never reads half a name.
struct Slot {
    std::atomic<int> state{0};  // 0 free, 1 being filled, 2 listed
    std::array<os::NativeChar, 4096> name{};
};

std::array<Slot, 32> slots;

void remove_listed() noexcept {
    for (auto& slot : slots) {
        if (slot.state.load() == 2) {
            os::remove_in_interrupt(slot.name.data());
        }
    }
}

}  // namespace

RemovedOnInterrupt::RemovedOnInterrupt(const std::filesystem::path& file) {
    const auto& native = file.native();
    for (std::size_t i = 0; i < slots.size(); ++i) {
        int free = 0;
        if (native.size() < slots[i].name.size() &&
            slots[i].state.compare_exchange_strong(free, 1)) {
            std::memcpy(slots[i].name.data(), native.c_str(),
                        (native.size() + 1) * sizeof(os::NativeChar));
            slots[i].state.store(2);
            slot_ = static_cast<int>(i);
            return;
        }
    }
    // No room (more files at once than slots, or an over-long name): such a file is not removed
    // on an interrupt; the next writer in the directory removes it.
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

InterruptsHeld::InterruptsHeld() {
    os::hold_interrupts();
}

InterruptsHeld::~InterruptsHeld() {
    os::release_interrupts();
}

void remove_listed_files_on_interrupt() {
    os::on_interrupt(remove_listed);
}

}  // namespace scenario::files
