// Higher-order Butterworth filters as cascades of second-order sections of the rbj family
// (and, for odd orders, the first-order low pass), all given the cascade's frequency and
// rate. The sections' Qs are the Butterworth pole Qs 1/(2·cos θk): 0.5412 and 1.3066 for
// the fourth order, 0.618 and 1.618 for the fifth. The rbj family damps by sinh(1/(2Q))
// rather than 1/(2Q), so each section is handed the Q that gives the wanted damping there;
// the cascade is then exactly −3 dB at its frequency and falls 6 dB per octave per order.
#pragma once

#include "dsp/tqsp_filter.h"
#include "dsp/tqsp_filter_butterworth.h"
#include "dsp/tqsp_filter_rbj.h"

// The rbj Q whose damping sinh(1/(2Q)) equals the true damping 1/(2q).
float tqsp_filter_butterworth_rbj_q(double q);

template <class Section> class tqsp_filter_butterworth_cascade : public tqsp_filter {
public:
    // [main thread] Every section follows; the history is cleared.
    void setAudioSamplingRate(float sr) override {
        for (Section& s : sections) s.setAudioSamplingRate(sr);
        tqsp_filter::setAudioSamplingRate(sr);
    }
    // [audio thread]
    void clear() override {
        for (Section& s : sections) s.clear();
    }
    // [audio thread]
    float process(float x) override { return sections[1].process(sections[0].process(x)); }
    void recalculate() override {
        for (Section& s : sections) s.setFrequency(boundedDesignFrequency());
    }

protected:
    // Butterworth pole Qs of the two sections.
    tqsp_filter_butterworth_cascade(double q0, double q1) {
        frequency = 1000.0f;
        resonance = 0.0f;
        sections[0].setResonance(tqsp_filter_butterworth_rbj_q(q0));
        sections[1].setResonance(tqsp_filter_butterworth_rbj_q(q1));
    }

    Section sections[2];
};

// 24 dB per octave.
class tqsp_filter_butterworth_fourth_order_low_pass final
    : public tqsp_filter_butterworth_cascade<tqsp_filter_rbj_low_pass> {
public:
    tqsp_filter_butterworth_fourth_order_low_pass();
};

// 24 dB per octave.
class tqsp_filter_butterworth_fourth_order_high_pass final
    : public tqsp_filter_butterworth_cascade<tqsp_filter_rbj_high_pass> {
public:
    tqsp_filter_butterworth_fourth_order_high_pass();
};

// 30 dB per octave: two sections and a first-order low pass.
class tqsp_filter_butterworth_fifth_order_low_pass final
    : public tqsp_filter_butterworth_cascade<tqsp_filter_rbj_low_pass> {
    using Base = tqsp_filter_butterworth_cascade<tqsp_filter_rbj_low_pass>;

public:
    tqsp_filter_butterworth_fifth_order_low_pass();

    // [main thread]
    void setAudioSamplingRate(float sr) override {
        last.setAudioSamplingRate(sr);
        Base::setAudioSamplingRate(sr);
    }
    // [audio thread]
    void clear() override {
        Base::clear();
        last.clear();
    }
    // [audio thread]
    float process(float x) override { return last.process(Base::process(x)); }
    void recalculate() override {
        Base::recalculate();
        last.setFrequency(boundedDesignFrequency());
    }

private:
    tqsp_filter_butterworth_first_order_low_pass last;
};
