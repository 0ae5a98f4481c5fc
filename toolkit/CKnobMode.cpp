#include "toolkit/CKnobMode.h"

#include <atomic>

namespace {

std::atomic<int32_t> knobMode{CKnobMode::kCircularMode};

} // namespace

void CKnobMode::set(int32_t mode) {
    knobMode.store(mode, std::memory_order_relaxed);
}

int32_t CKnobMode::get() {
    return knobMode.load(std::memory_order_relaxed);
}
