// Offline rendering through a hosted plug-in, streamed block by block: the input is pulled,
// the block's MIDI events go through effProcessEvents, then the block is processed and
// pushed out, so memory does not grow with the length of the sound.
#pragma once

#include "host/CommandLine.h"
#include "host/PluginHost.h"

#include <cstddef>
#include <functional>
#include <vector>

struct RenderSettings {
    double tailSeconds = 0;
    std::vector<ControlChange> controlChanges; // in time order
    bool monoMode = false;                     // a mono input stays mono (see renderedChannels)
};

// The sound to render: its shape, and a pull of up to n frames into one array per channel
// that answers how many it gave (fewer only at its end).
struct RenderInput {
    double sampleRate = 44100;
    std::size_t channels = 0;
    std::size_t frames = 0;
    std::function<std::size_t(float* const* to, std::size_t n)> read;
};

// Takes n rendered frames, one array per channel.
using RenderOutput = std::function<void(const float* const* from, std::size_t n)>;
// Reports frames done out of frames in all, after each block.
using RenderProgress = std::function<void(std::size_t done, std::size_t all)>;

// [main thread] Channels the rendered sound will have: one for a plug-in with a single
// output, else two, or one for a mono input in mono mode. Throws HostError for a plug-in
// with no outputs.
std::size_t renderedChannels(const PluginHost& host, std::size_t inputChannels, bool monoMode);

// [main thread] Resumes the effect, renders the input (plus the tail) at the host's block
// size and suspends it again. A mono input feeds every input of the plug-in; in mono mode
// the plug-in is told its second input and output are unconnected, so that it works in
// mono. The plug-in's reported latency is compensated, so the output lines up with the
// input and has its length plus the tail.
void render(PluginHost& host, const RenderInput& input, const RenderOutput& output,
            const RenderSettings& settings, const RenderProgress& progress);
