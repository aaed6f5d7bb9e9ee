#include "params/OrvellaParameterManager.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> gAllocations{0};
}

void* operator new(std::size_t size) {
    ++gAllocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

// What the effect does from host and audio threads must never allocate.
TEST(OrvellaParams, DeclaredParametersAreReadAndWrittenWithoutAllocating) {
    OrvellaParameterManager m;
    char text[32];
    const long before = gAllocations;
    for (long index = 0; index < kNumParams; ++index) {
        m.setVSTvalue(index, 0.75f);
        m.getDSPValue(index);
        m.getNaturalValue(index);
        m.getVSTvalue(index);
        m.getName(index, text, 8);
        m.getValueString(index, text, 8);
        m.getUnitsName(index, text, 8);
        m.VSTvalueFromNaturalValue(index, 3.0f);
        m.naturalValueFromVSTvalue(index, 0.3f);
    }
    EXPECT_EQ(before, gAllocations);
}

} // namespace
