#include "platform/TemporaryRegistry.h"

#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace velmora::platform {

namespace {

// More than the commands a run may have in flight; when all are taken a name is simply not kept.
constexpr int kSlots = 64;
constexpr std::size_t kNameRoom = 4096;

enum SlotState : int { kFree, kFilling, kReady };

struct Slot {
    std::atomic<int> state{kFree};
    int folder = AT_FDCWD;
    char name[kNameRoom] = {};
};

Slot slots[kSlots];

static_assert(std::atomic<int>::is_always_lock_free);

} // namespace

TemporaryName::TemporaryName(int folderFd, const std::string& name) {
    if (name.size() >= kNameRoom)
        return;
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (slots[i].state.compare_exchange_strong(expected, kFilling, std::memory_order_acquire)) {
            slots[i].folder = folderFd;
            std::memcpy(slots[i].name, name.c_str(), name.size() + 1);
            slots[i].state.store(kReady, std::memory_order_release);
            slot_ = i;
            return;
        }
    }
}

void TemporaryName::release() {
    if (slot_ >= 0)
        slots[slot_].state.store(kFree, std::memory_order_release);
    slot_ = -1;
}

void removeRegisteredTemporaries() {
    for (Slot& slot : slots)
        if (slot.state.load(std::memory_order_acquire) == kReady)
            ::unlinkat(slot.folder, slot.name, 0);
}

} // namespace velmora::platform
