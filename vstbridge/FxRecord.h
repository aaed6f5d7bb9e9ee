// The fields of FXP and FXB preset data: big-endian numbers, floats by their bit pattern,
// four-character codes as their four bytes, names in 28-byte fields of at most 24
// characters. Callers check that the bytes are there.
#pragma once

#include "plugin/VstInterface.h"

#include <cstdint>
#include <string>

constexpr VstInt32 kFxChunkMagic = CCONST('C', 'c', 'n', 'K');
constexpr VstInt32 kFxProgramParameters = CCONST('F', 'x', 'C', 'k');
constexpr VstInt32 kFxProgramChunk = CCONST('F', 'P', 'C', 'h');
constexpr VstInt32 kFxBankParameters = CCONST('F', 'x', 'B', 'k');
constexpr VstInt32 kFxBankChunk = CCONST('F', 'B', 'C', 'h');

// Offsets: the common header's fields, then a program's name and its values or chunk
// size; a bank's 128 reserved bytes, then its records or chunk size.
constexpr unsigned long kFxByteSizeAt = 4, kFxKindAt = 8, kFxVersionAt = 12, kFxIdAt = 16,
                        kFxEffectVersionAt = 20, kFxCountAt = 24, kFxHeaderSize = 28;
constexpr unsigned long kFxNameAt = 28, kFxNameField = 28, kFxNameLength = 24;
constexpr unsigned long kFxProgramValuesAt = 56, kFxProgramChunkAt = 60;
constexpr unsigned long kFxBankRecordsAt = 156, kFxBankChunkAt = 160;

std::int32_t fxRead(const unsigned char* at);
float fxReadFloat(const unsigned char* at);
// Writes and answers the position after the field.
unsigned char* fxWrite(unsigned char* at, std::int32_t value);
unsigned char* fxWriteFloat(unsigned char* at, float value);
// The common header, with the record's total size.
unsigned char* fxWriteHeader(unsigned char* at, VstInt32 kind, unsigned long total,
                             VstInt32 uniqueId, VstInt32 version, VstInt32 count);
// A name field: at most 24 characters, zero-padded to 28 bytes.
unsigned char* fxWriteName(unsigned char* at, const char* name);
// The name in a field: up to 24 characters up to its first zero, then a zero (25 bytes).
void fxReadName(const unsigned char* at, char* name);
// The code as its four characters, or as a number when one is not printable.
std::string fxCodeText(VstInt32 code);
