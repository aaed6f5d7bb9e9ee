#pragma once

#include "audiounit/platform/AudioUnitTypes.h"
#include "audiounit/platform/CFArray.h"

#include <vector>

// What the Audio Unit side publishes of the hosted effect's parameters, read from the
// bundle's "SYParameters.txt": one information record per effect parameter (all zero for
// parameters that are not published), the published ids in file order, and the value
// strings of list parameters. Built on the main thread, then only read.
class ParameterMap {
public:
    static constexpr int kMaxMappedParameters = 1024;

    // parameterCount records, all zero; a negative count holds none. Allocates. [main thread]
    explicit ParameterMap(int parameterCount);
    ~ParameterMap();
    ParameterMap(const ParameterMap&) = delete;
    ParameterMap& operator=(const ParameterMap&) = delete;

    // Parses the whole file: the first line is a header; malformed lines are skipped.
    // Throws DoruvezovException "Too many mapped parameters" for a 1025th entry. Allocates.
    // [main thread]
    void read(const unsigned char* at, const unsigned char* end);

    // [any thread]
    int parameterCount() const { return static_cast<int>(infos.size()); }
    // Null beyond the parameter count. [any thread]
    const AudioUnitParameterInfo* info(int parameter) const;
    // [any thread]
    const std::vector<UInt32>& mappedIds() const { return ids; }
    // Not retained for the caller; null for parameters without a list. [any thread]
    CFArrayRef valueStrings(int parameter) const;

private:
    void readEntry(const char* line);

    std::vector<AudioUnitParameterInfo> infos;
    std::vector<UInt32> ids;
    std::vector<CFArrayRef> strings;
};
