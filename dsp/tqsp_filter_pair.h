// Two filters of one kind run side by side, one in each lane of a vector register. Each
// lane does exactly the arithmetic of its own filter's process(), in the same order and
// precision, so the samples are bit-identical to calling the two filters in turn; the two
// recursions overlap and the instructions are shared.
#pragma once

class tqsp_filter_rbj;
class tqsp_filter_swept_phasor;

struct tqsp_filter_pair {
    // [audio thread] n samples of inA through a and of inB through b. Inputs may be the
    // same memory as outputs.
    static void process(tqsp_filter_rbj& a, tqsp_filter_rbj& b, const float* inA, const float* inB,
                        float* outA, float* outB, int n);
    static void process(tqsp_filter_swept_phasor& a, tqsp_filter_swept_phasor& b, const float* inA,
                        const float* inB, float* outA, float* outB, int n);
    // [audio thread] n samples of in through a, and a's output through b. in may be the same
    // memory as outA, but neither as outB.
    static void cascade(tqsp_filter_swept_phasor& a, tqsp_filter_swept_phasor& b, const float* in,
                        float* outA, float* outB, int n);

private:
    struct Biquad;
    struct Phasers;
};
