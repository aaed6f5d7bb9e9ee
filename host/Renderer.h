// Offline rendering of a whole sound through a hosted plug-in, block by block: the
// block's MIDI events through effProcessEvents, then processReplacing.
#pragma once

#include "host/AudioFile.h"
#include "host/CommandLine.h"
#include "host/PluginHost.h"

#include <functional>
#include <vector>

struct RenderSettings {
    double tailSeconds = 0;
    std::vector<ControlChange> controlChanges; // in time order
};

// Reports frames done out of frames in all, after each block.
using RenderProgress = std::function<void(std::size_t done, std::size_t all)>;

// [main thread] Channels the rendered sound will have: the input's, or one for a plug-in
// with a single output. Throws HostError for a plug-in with no outputs.
std::size_t renderedChannels(const PluginHost& host, const AudioBuffer& input);

// [main thread] Resumes the effect, renders the input (plus the tail) at the host's block
// size and suspends it again. A mono input feeds every input of the plug-in, which is told
// its second input is unconnected. The plug-in's reported latency is compensated, so the
// output lines up with the input and has its length plus the tail.
AudioBuffer render(PluginHost& host, const AudioBuffer& input, const RenderSettings& settings,
                   const RenderProgress& progress);
