// The effect's saved bank on its way from the thread that restores a session to the audio
// thread. Three buffers: the writer fills its own, then swaps it with the waiting one; the
// reader swaps the waiting one with its own when a newer one waits. Neither side locks,
// blocks or allocates, and the reader always gets the newest bank whole.
#pragma once

#include "effect/OrvellaProgram.h"

#include <atomic>
#include <cstdint>

class BankHandover {
public:
    static constexpr std::size_t kBankBytes = kNumPrograms * sizeof(OrvellaProgram);

    struct Bank {
        int32_t program; // the one that plays
        unsigned char chunk[kBankBytes];
    };

    // [main thread] The writer's own buffer, to be filled before publish(). One writer.
    Bank& toFill() { return buffers[back]; }
    void publish();
    // [audio thread] The bank published since the last take, or null; it stays valid until
    // the next take. One reader.
    const Bank* take();

private:
    static constexpr int kFresh = 4; // added to the waiting buffer's index once published

    Bank buffers[3]{};
    int back = 0;
    int front = 1;
    std::atomic<int> waiting{2};
};
