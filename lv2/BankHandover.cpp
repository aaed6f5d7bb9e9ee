#include "lv2/BankHandover.h"

void BankHandover::publish() {
    back = waiting.exchange(back | kFresh, std::memory_order_acq_rel) & ~kFresh;
}

const BankHandover::Bank* BankHandover::take() {
    if (!(waiting.load(std::memory_order_relaxed) & kFresh)) return nullptr;
    front = waiting.exchange(front, std::memory_order_acq_rel) & ~kFresh;
    return &buffers[front];
}
