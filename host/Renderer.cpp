#include "host/Renderer.h"

#include "host/HostError.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <memory>

namespace {

// VstEvents with room for any number of event pointers, as hosts allocate it.
class EventList final {
public:
    explicit EventList(std::size_t capacity)
        : storage_(new std::byte[offsetof(VstEvents, events) + capacity * sizeof(VstEvent*)]()),
          midi_(capacity) {}

    void clear() { count_ = 0; }
    void addControlChange(VstInt32 deltaFrames, int controller, int value) {
        VstMidiEvent& e = midi_[count_];
        e = VstMidiEvent{};
        e.type = kVstMidiType;
        e.byteSize = sizeof(VstMidiEvent);
        e.deltaFrames = deltaFrames;
        e.midiData[0] = static_cast<char>(0xB0); // control change, first channel
        e.midiData[1] = static_cast<char>(controller);
        e.midiData[2] = static_cast<char>(value);
        slots()[count_++] = reinterpret_cast<VstEvent*>(&e);
    }
    bool empty() const { return count_ == 0; }
    VstEvents* events() {
        auto* list = reinterpret_cast<VstEvents*>(storage_.get());
        list->numEvents = static_cast<VstInt32>(count_);
        list->reserved = 0;
        return list;
    }

private:
    VstEvent** slots() {
        return reinterpret_cast<VstEvent**>(storage_.get() + offsetof(VstEvents, events));
    }
    std::unique_ptr<std::byte[]> storage_;
    std::vector<VstMidiEvent> midi_;
    std::size_t count_ = 0;
};

// The event's frame on the rendering timeline.
std::size_t frameOf(const ControlChange& change, double sampleRate) {
    return static_cast<std::size_t>(std::llround(change.seconds * sampleRate));
}

} // namespace

std::size_t renderedChannels(const PluginHost& host, std::size_t inputChannels, bool monoMode) {
    const int outputs = host.plugIn().getOutputCount();
    if (outputs < 1) throw HostError("the plug-in has no audio outputs: it is not an effect");
    return outputs == 1 || (inputChannels == 1 && monoMode) ? 1 : 2;
}

void render(PluginHost& host, const RenderInput& input, const RenderOutput& output,
            const RenderSettings& settings, const RenderProgress& progress) {
    VSTPlugIn& plugIn = host.plugIn();
    const double rate = input.sampleRate;
    const std::size_t block = static_cast<std::size_t>(host.blockSize());
    const std::size_t sourceChannels = input.channels;
    const std::size_t outChannels = renderedChannels(host, sourceChannels, settings.monoMode);
    const std::size_t delay = static_cast<std::size_t>(std::max(plugIn.getInitialDelay(), 0));
    const std::size_t length =
        input.frames + static_cast<std::size_t>(std::llround(settings.tailSeconds * rate));
    const std::size_t total = length + delay;

    // Block buffers for the file's channels and for every pin the plug-in has.
    const auto ins = static_cast<std::size_t>(std::max(plugIn.getInputCount(), 0));
    const auto outs = static_cast<std::size_t>(plugIn.getOutputCount());
    using Buffers = std::vector<std::vector<float>>;
    Buffers fileBuffers(sourceChannels, std::vector<float>(block));
    Buffers inBuffers(ins, std::vector<float>(block)), outBuffers(outs, std::vector<float>(block));
    std::vector<float*> filePointers, inPointers, outPointers;
    for (auto& b : fileBuffers) filePointers.push_back(b.data());
    for (auto& b : inBuffers) inPointers.push_back(b.data());
    for (auto& b : outBuffers) outPointers.push_back(b.data());
    // Which file channel each input reads; a plug-in with one input gets the mix.
    const bool downmix = ins == 1 && sourceChannels == 2;
    auto sourceOf = [&](std::size_t pin) -> const float* {
        if (pin < sourceChannels) return fileBuffers[pin].data();
        if (sourceChannels == 1 && pin == 1) return fileBuffers[0].data();
        return nullptr;
    };

    std::size_t mostPerBlock = 0;
    for (std::size_t i = 0, start = 0; i < settings.controlChanges.size(); start = i) {
        const std::size_t blockIndex = frameOf(settings.controlChanges[i], rate) / block;
        while (i < settings.controlChanges.size() &&
               frameOf(settings.controlChanges[i], rate) / block == blockIndex)
            ++i;
        mostPerBlock = std::max(mostPerBlock, i - start);
    }
    EventList events(mostPerBlock);
    auto nextChange = settings.controlChanges.begin();

    const bool replacing = plugIn.canProcessReplacing() && plugIn.getEffect()->processReplacing;
    if (!replacing && !plugIn.getEffect()->process)
        throw HostError("the plug-in offers no audio processing");
    const bool mono = sourceChannels == 1 && settings.monoMode;
    host.setConnectedPins(mono ? 1 : 2, static_cast<int>(outChannels));
    host.resume();
    std::size_t read = 0;
    std::vector<const float*> emitted(outChannels);
    for (std::size_t start = 0; start < total; start += block) {
        const std::size_t n = std::min(block, total - start);
        // The input, then silence once it ends (early, if the file is shorter than it said).
        const std::size_t want = std::min(n, input.frames - read);
        const std::size_t have = want ? input.read(filePointers.data(), want) : 0;
        read += want;
        for (auto& b : fileBuffers)
            std::fill(b.begin() + static_cast<std::ptrdiff_t>(have), b.end(), 0.0f);
        for (std::size_t pin = 0; pin < ins; ++pin) {
            float* to = inBuffers[pin].data();
            if (downmix) {
                for (std::size_t i = 0; i < n; ++i)
                    to[i] = 0.5f * (fileBuffers[0][i] + fileBuffers[1][i]);
            } else if (const float* from = sourceOf(pin)) {
                std::copy_n(from, n, to);
            } else {
                std::fill(to, to + n, 0.0f);
            }
        }
        for (auto& b : outBuffers)
            std::fill(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(n), 0.0f);

        events.clear();
        for (;
             nextChange != settings.controlChanges.end() && frameOf(*nextChange, rate) < start + n;
             ++nextChange)
            events.addControlChange(static_cast<VstInt32>(frameOf(*nextChange, rate) - start),
                                    nextChange->controller, nextChange->value);
        host.setSamplePosition(static_cast<double>(start));
        if (!events.empty()) plugIn.processEvents(*events.events());
        if (replacing)
            plugIn.processReplacing(inPointers.data(), outPointers.data(), static_cast<int>(n));
        else
            plugIn.processAccumulating(inPointers.data(), outPointers.data(), static_cast<int>(n));

        // The first `delay` frames out are the plug-in's latency, not the input's start.
        const std::size_t skip = start < delay ? std::min(delay - start, n) : 0;
        if (skip < n) {
            for (std::size_t c = 0; c < outChannels; ++c) emitted[c] = outBuffers[c].data() + skip;
            output(emitted.data(), n - skip);
        }
        if (progress) progress(start + n, total);
    }
    host.suspend();
}
