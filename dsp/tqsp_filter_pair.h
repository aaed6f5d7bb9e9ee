// Two filters of one kind run side by side, one in each lane of a vector register. Each
// lane does exactly the arithmetic of its own filter's process(), in the same order and
// precision, so the samples are bit-identical to calling the two filters in turn; the two
// recursions overlap and the instructions are shared.
//
// A lane object borrows the history of its two filters for as long as it lives and gives
// it back when it goes: meanwhile only the lanes process, while the filters' designs may
// still change and are taken into the lanes with takeDesign(). Lane objects of several
// kinds chain sample by sample, so a whole signal path stays in registers.
#pragma once

#include "dsp/tqsp_filter_rbj.h"
#include "dsp/tqsp_filter_swept_phasor.h"

struct tqsp_filter_pair {
    // Lane 0 belongs to filter a, lane 1 to filter b; lanes 2 and 3 stay zero. A register's
    // full width lets the arithmetic take its operands straight from memory.
    typedef float Lanes __attribute__((vector_size(16)));

    // [audio thread] Two second-order sections.
    class Biquads {
    public:
        Biquads(tqsp_filter_rbj& a, tqsp_filter_rbj& b)
            : a(a), b(b), b0{a.b0, b.b0}, b1{a.b1, b.b1}, b2{a.b2, b.b2}, a1{a.a1, b.a1},
              a2{a.a2, b.a2}, x1{a.x1, b.x1}, x2{a.x2, b.x2}, y1{a.y1, b.y1}, y2{a.y2, b.y2},
              offset{a.denormalOffset, b.denormalOffset} {}
        ~Biquads();
        Biquads(const Biquads&) = delete;
        Biquads& operator=(const Biquads&) = delete;

        Lanes process(Lanes x) {
            return tqsp_filter_rbj::step(x, b0, b1, b2, a1, a2, x1, x2, y1, y2, offset);
        }

    private:
        tqsp_filter_rbj &a, &b;
        Lanes b0, b1, b2, a1, a2, x1, x2, y1, y2, offset;
    };

    // [audio thread] Two swept phaser sections.
    class Phasers {
    public:
        Phasers(tqsp_filter_swept_phasor& a, tqsp_filter_swept_phasor& b);
        ~Phasers();
        Phasers(const Phasers&) = delete;
        Phasers& operator=(const Phasers&) = delete;

        // The stage coefficients, feedback and mix target both filters hold now, or only
        // filter a (lane 0) or b (lane 1).
        void takeDesign();
        void takeDesign(int lane);

        Lanes process(Lanes x) {
            const Lanes chainOutput = history[kStages]; // the output low pass's last input
            return tqsp_filter_swept_phasor::step(
                x, mix, target, rise, fall, feedback, history[kStages],
                [this](Lanes v) { return feedbackLowPass.process(v); },
                [this](int k, Lanes v) {
                    const Lanes y = tqsp_filter_all_pass_one_pole::output(stageA[k], v, history[k],
                                                                          history[k + 1]);
                    history[k] = v;
                    return y;
                },
                [this, x1 = low(chainOutput)](Lanes v) mutable {
                    const Low y = tqsp_filter_butterworth_first_order::step(low(v), lpB0, lpB1,
                                                                            lpA1, x1, lpY1);
                    return __builtin_shufflevector(y, Low{}, 0, 1, 2, 3);
                });
        }

    private:
        // The output low pass computes in double precision, two lanes to a register.
        typedef double Doubles __attribute__((vector_size(16)));
        typedef float Low __attribute__((vector_size(8)));
        static Low low(Lanes v) { return __builtin_shufflevector(v, v, 0, 1); }
        static constexpr int kStages = tqsp_filter_swept_phasor::kStages;

        tqsp_filter_swept_phasor &a, &b;
        Lanes target, rise, fall, mix, feedback;
        Biquads feedbackLowPass;
        Lanes stageA[kStages];
        // The last input of every stage, then the chain's last output: one stage's last
        // output is the next one's last input, and the chain's is the output low pass's.
        Lanes history[kStages + 1];
        Doubles lpB0, lpB1, lpA1;
        Low lpY1;
    };
};
