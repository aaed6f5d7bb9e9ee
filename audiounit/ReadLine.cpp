#include "audiounit/ReadLine.h"

#include "vstbridge/DoruvezovException.h"

namespace {

constexpr int kMaxLineBytes = 2047;

} // namespace

const unsigned char* readLine(const unsigned char* at, const unsigned char* end, char* line,
                              int size) {
    if (at >= end) throw EOFException("End of file error");
    const int keep = size - 1 < kMaxLineBytes ? size - 1 : kMaxLineBytes;
    int kept = 0;
    for (; at < end && *at != '\r' && *at != '\n'; ++at) {
        if (kept < keep) line[kept++] = static_cast<char>(*at);
    }
    if (size > 0) line[kept] = 0;
    if (at < end && *at == '\r') ++at;
    if (at < end && *at == '\n') ++at;
    return at;
}
