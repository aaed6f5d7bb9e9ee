// Plays a caller-owned buffer of samples, one per call, once or looping. The buffer is
// never copied or freed here: it must outlive its use. Play mode 1 plays, 0 stops;
// switching to 1 starts from the beginning. Without a buffer, or when stopped, the output
// is 0. At the end of a buffer played once the mode falls back to 0.
#pragma once

#include <cstdint>

enum {
    GEN_BUFFER_PLAY_LOOP = 435, // value > 0 loops
    GEN_BUFFER_PLAY_MODE = 440, // 0 stopped, 1 playing; other values ignored
};

struct gen_buffer_play_record {
    const float* buffer;
    int64_t length;
    int64_t position;
    int32_t loop;
    int32_t mode;
    float output;
};

// [main thread] No buffer, stopped, not looping.
void gen_buffer_play_init(gen_buffer_play_record* r);
// [main thread]
void gen_buffer_play_free(gen_buffer_play_record* r);
// [main thread] Plays data[0 .. length - 1] from the beginning on; null or length <= 0
// leaves no buffer.
void gen_buffer_play_set_buffer(gen_buffer_play_record* r, const float* data, int64_t length);
// [audio thread] Codes 435 and 440; NaN and other codes are ignored.
void gen_buffer_play_set_attr(gen_buffer_play_record* r, int code, float value);
// [any thread]
float gen_buffer_play_get_attr(gen_buffer_play_record* r, int code);
// [audio thread] The next sample.
float gen_buffer_play_dsp(gen_buffer_play_record* r);
// [any thread]
float gen_buffer_play_get_output(gen_buffer_play_record* r);
