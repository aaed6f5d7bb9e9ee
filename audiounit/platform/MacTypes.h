#pragma once

#include <cstdint>

// The scalar types and result codes of the platform interfaces the adapter was written
// against, with the published sizes and values.
using OSStatus = std::int32_t;
using ComponentResult = std::int32_t;
using OSType = std::uint32_t;
using Float32 = float;
using Float64 = double;
using UInt8 = std::uint8_t;
using SInt16 = std::int16_t;
using UInt32 = std::uint32_t;
using SInt32 = std::int32_t;
using UInt64 = std::uint64_t;
using Boolean = std::uint8_t;

// Four-character codes keep the first character in the most significant byte.
constexpr OSType fourCharCode(const char (&code)[5]) {
    return OSType(UInt8(code[0])) << 24 | OSType(UInt8(code[1])) << 16 |
           OSType(UInt8(code[2])) << 8 | OSType(UInt8(code[3]));
}

enum : OSStatus {
    noErr = 0,
    ioErr = -36,
    bdNamErr = -37,
    eofErr = -39,
    fnfErr = -43,
    dupFNErr = -48,
    paramErr = -50,
    permErr = -54,
    memFullErr = -108,
    dirNFErr = -120,
    errFSNotAFolder = -1407,
    badComponentSelector = -2147450878, // 0x80008002
    invalidComponentID = -3000,
    resFNotFound = -193,
    cfragNoLibraryErr = -2804,
    cfragNoSymbolErr = -2814,
};
