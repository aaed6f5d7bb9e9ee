#include "dsp/gen_buffer_play.h"

void gen_buffer_play_init(gen_buffer_play_record* r) {
    r->buffer = nullptr;
    r->length = r->position = 0;
    r->loop = r->mode = 0;
    r->output = 0.0f;
}

void gen_buffer_play_free(gen_buffer_play_record* /*r*/) {}

void gen_buffer_play_set_buffer(gen_buffer_play_record* r, const float* data, int64_t length) {
    const bool usable = data != nullptr && length > 0;
    r->buffer = usable ? data : nullptr;
    r->length = usable ? length : 0;
    r->position = 0;
}

void gen_buffer_play_set_attr(gen_buffer_play_record* r, int code, float value) {
    switch (code) {
    case GEN_BUFFER_PLAY_LOOP:
        if (value == value) r->loop = value > 0.0f;
        break;
    case GEN_BUFFER_PLAY_MODE:
        if (value == 1.0f && r->mode != 1) r->position = 0;
        if (value == 0.0f || value == 1.0f) r->mode = static_cast<int32_t>(value);
        break;
    default:
        break;
    }
}

float gen_buffer_play_get_attr(gen_buffer_play_record* r, int code) {
    switch (code) {
    case GEN_BUFFER_PLAY_LOOP:
        return static_cast<float>(r->loop);
    case GEN_BUFFER_PLAY_MODE:
        return static_cast<float>(r->mode);
    default:
        return 0.0f;
    }
}

float gen_buffer_play_dsp(gen_buffer_play_record* r) {
    if (r->mode != 1 || r->position >= r->length) {
        r->output = 0.0f;
        return 0.0f;
    }
    r->output = r->buffer[r->position];
    if (++r->position == r->length) {
        if (r->loop)
            r->position = 0;
        else
            r->mode = 0;
    }
    return r->output;
}

float gen_buffer_play_get_output(gen_buffer_play_record* r) {
    return r->output;
}
