// The component's render side: input from callbacks, connections or silence, one effect run
// per time stamp, MIDI events and time information for the effect, the host's buffers
// checked before anything is written. Nothing here allocates once set up.
#include "audiounit/DoruvezovComponent.h"
#include "audiounit/platform/AudioUnitCalls.h"
#include "vstbridge/DoruvezovException.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

constexpr VstInt32 kInputSilent = CCONST('s', 'I', '0', '0');
constexpr VstInt32 kOutputSilent = CCONST('s', 'O', '0', '0');
constexpr UInt32 kFormatFlags =
    kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked | kAudioFormatFlagIsNonInterleaved;

[[noreturn]] void fail(OSStatus status) {
    throw MacOSException(status);
}

// Every buffer of a host's list holds the frames; pointers may be null where allowed.
void checkList(const AudioBufferList& list, UInt32 channels, UInt32 frames, bool nullAllowed) {
    if (list.mNumberBuffers != channels) fail(paramErr);
    for (UInt32 i = 0; i < channels; ++i) {
        const AudioBuffer& b = list.mBuffers[i];
        if (!b.mData ? !nullAllowed : b.mDataByteSize < frames * sizeof(float)) fail(paramErr);
    }
}

} // namespace

void DoruvezovComponent::setUpRendering() {
    static_assert(offsetof(MidiEvents, events) == offsetof(VstEvents, events));
    static_assert(offsetof(InputList, second) ==
                  offsetof(AudioBufferList, mBuffers) + sizeof(AudioBuffer));
    format = {kDefaultSampleRate, kAudioFormatLinearPCM, kFormatFlags, 4, 1, 4, 2, 32, 0};
    for (const Bus& b : inputs) inputChannels.push_back(UInt32(b.width));
    for (const Bus& b : outputs) outputChannels.push_back(UInt32(b.width));
    feeds.resize(inputs.size());
    inputLists.resize(inputs.size());
    effectInputs.resize(std::size_t(vst->getInputCount()));
    effectOutputs.resize(std::size_t(vst->getOutputCount()));
    allocateChannelBuffers();
    midiPool = std::make_unique<VstMidiEvent[]>(kMaxMidiEvents);
    midiEvents = std::make_unique<MidiEvents>();
    for (std::size_t i = 0; i < kMaxMidiEvents; ++i) {
        midiEvents->events[i] = reinterpret_cast<VstEvent*>(&midiPool[i]);
    }
}

void DoruvezovComponent::allocateChannelBuffers() {
    const std::size_t count = std::max(effectInputs.size(), effectOutputs.size());
    channelBuffers.assign(count, std::vector<float>(maxFrames));
    // One more: a stereo format on the last mono input bus has its second channel there.
    inputBuffers.assign(count + 1, std::vector<float>(maxFrames));
    // Pins outside every bus still read and write a buffer of their own.
    for (std::size_t i = 0; i < effectInputs.size(); ++i) effectInputs[i] = inputBuffers[i].data();
    for (std::size_t i = 0; i < effectOutputs.size(); ++i)
        effectOutputs[i] = channelBuffers[i].data();
}

// An output bus given more channels than it is wide (a stereo format on a mono bus)
// repeats its own channels rather than reaching into the next bus's or past the last.
float* DoruvezovComponent::channel(const Bus& bus, UInt32 k) {
    return channelBuffers[std::size_t(bus.firstChannel) + k % UInt32(bus.width)].data();
}

void DoruvezovComponent::notifyRender(UInt32* flags, const AudioTimeStamp* timeStamp, UInt32 bus,
                                      UInt32 frames, AudioBufferList* data) {
    for (std::size_t i = notificationCount; i-- > 0;) {
        notifications[i].proc(notifications[i].refCon, flags, timeStamp, bus, frames, data);
    }
}

void DoruvezovComponent::render(UInt32* flags, const AudioTimeStamp* timeStamp, UInt32 bus,
                                UInt32 frames, AudioBufferList* data) {
    if (!timeStamp || !data || bus >= outputs.size() || frames > maxFrames) fail(paramErr);
    if (!vst->isResumed()) fail(kAudioUnitErr_Uninitialized);
    const Bus& out = outputs[bus];
    checkList(*data, outputChannels[bus], frames, true);

    UInt32 action = (flags ? *flags : 0) | kAudioUnitRenderAction_PreRender;
    notifyRender(&action, timeStamp, bus, frames, data);
    action &= ~kAudioUnitRenderAction_PreRender;

    if (timeStamp->mSampleTime != lastSampleTime) {
        updateTimeInfo(timeStamp->mSampleTime);
        const bool inputSilent = pullInput(timeStamp, frames);
        // Pins past a narrowed bus's channels are unconnected: they write their own buffer,
        // which the bus never hands out.
        for (const Bus& b : outputs) {
            const UInt32 count = outputChannels[std::size_t(&b - outputs.data())];
            for (int k = 0; k < b.width; ++k) {
                const auto pin = std::size_t(b.firstChannel + k);
                effectOutputs[pin] =
                    UInt32(k) < count ? channel(b, UInt32(k)) : channelBuffers[pin].data();
            }
        }
        runEffect(frames, inputSilent);
        // Only a slice the effect ran for counts as rendered: a failed input is tried again.
        lastSampleTime = timeStamp->mSampleTime;
    }
    if (outputSilent) {
        action |= kAudioUnitRenderAction_OutputIsSilence;
    } else {
        action &= ~kAudioUnitRenderAction_OutputIsSilence;
    }

    for (UInt32 i = 0; i < data->mNumberBuffers; ++i) {
        AudioBuffer& b = data->mBuffers[i];
        if (b.mData) {
            std::memcpy(b.mData, channel(out, i), frames * sizeof(float));
        } else {
            b.mData = channel(out, i);
        }
        b.mDataByteSize = frames * sizeof(float);
    }

    action |= kAudioUnitRenderAction_PostRender;
    notifyRender(&action, timeStamp, bus, frames, data);
    action &= ~kAudioUnitRenderAction_PostRender;
    if (flags) *flags = action;
}

void DoruvezovComponent::updateTimeInfo(Float64 sampleTime) {
    timeInfo = {};
    timeInfo.samplePos = sampleTime;
    timeInfo.sampleRate = format.mSampleRate;
    void* user = hostCallbacks.hostUserData;
    if (hostCallbacks.beatAndTempoProc) {
        Float64 beat = 0, tempo = 120;
        if (hostCallbacks.beatAndTempoProc(user, &beat, &tempo) == noErr) {
            timeInfo.ppqPos = beat;
            timeInfo.tempo = tempo;
            timeInfo.flags |= kVstPpqPosValid | kVstTempoValid;
        }
    }
    if (hostCallbacks.musicalTimeLocationProc) {
        UInt32 toNextBeat = 0, denominator = 4;
        Float32 numerator = 4;
        Float64 downBeat = 0;
        if (hostCallbacks.musicalTimeLocationProc(user, &toNextBeat, &numerator, &denominator,
                                                  &downBeat) == noErr) {
            timeInfo.timeSigNumerator = VstInt32(numerator);
            timeInfo.timeSigDenominator = VstInt32(denominator);
            timeInfo.barStartPos = downBeat;
            timeInfo.flags |= kVstTimeSigValid | kVstBarsValid;
        }
    }
    if (hostCallbacks.transportStateProc) {
        Boolean playing = 0, changed = 0, cycling = 0;
        Float64 position = sampleTime, cycleStart = 0, cycleEnd = 0;
        if (hostCallbacks.transportStateProc(user, &playing, &changed, &position, &cycling,
                                             &cycleStart, &cycleEnd) == noErr) {
            if (playing) timeInfo.flags |= kVstTransportPlaying;
            if (changed) timeInfo.flags |= kVstTransportChanged;
            if (cycling) timeInfo.flags |= kVstTransportCycleActive;
            timeInfo.samplePos = position;
            timeInfo.cycleStartPos = cycleStart;
            timeInfo.cycleEndPos = cycleEnd;
            timeInfo.flags |= kVstCyclePosValid;
        }
    }
}

bool DoruvezovComponent::pullInput(const AudioTimeStamp* timeStamp, UInt32 frames) {
    bool silent = true;
    for (UInt32 b = 0; b < inputs.size(); ++b) {
        const Bus& in = inputs[b];
        const UInt32 count = inputChannels[b];
        AudioBufferList& list = inputLists[b].list;
        list.mNumberBuffers = count;
        for (UInt32 k = 0; k < count; ++k) {
            list.mBuffers[k] = {1, UInt32(frames * sizeof(float)),
                                inputBuffers[std::size_t(in.firstChannel) + k].data()};
        }
        UInt32 action = 0;
        const Input& feed = feeds[b];
        if (feed.callback.inputProc) {
            if (OSStatus status = feed.callback.inputProc(feed.callback.inputProcRefCon, &action,
                                                          timeStamp, b, frames, &list)) {
                fail(status);
            }
        } else if (feed.connection.sourceAudioUnit) {
            for (UInt32 k = 0; k < count; ++k) list.mBuffers[k].mData = nullptr;
            if (OSStatus status =
                    AudioUnitRender(feed.connection.sourceAudioUnit, &action, timeStamp,
                                    feed.connection.sourceOutputNumber, frames, &list)) {
                fail(status);
            }
        } else {
            for (UInt32 k = 0; k < count; ++k)
                std::fill_n(inputBuffers[std::size_t(in.firstChannel) + k].data(), frames, 0.0f);
            action = kAudioUnitRenderAction_OutputIsSilence;
        }
        checkList(list, count, frames, false);
        silent = silent && (action & kAudioUnitRenderAction_OutputIsSilence);
        for (int k = 0; k < in.width; ++k) {
            effectInputs[std::size_t(in.firstChannel + k)] =
                static_cast<float*>(list.mBuffers[UInt32(k) % count].mData);
        }
    }
    return silent;
}

void DoruvezovComponent::runEffect(UInt32 frames, bool inputSilent) {
    if (midiEvents->numEvents > 0) {
        vst->processEvents(*reinterpret_cast<const VstEvents*>(midiEvents.get()));
        midiEvents->numEvents = 0;
    }
    if (aware) vst->vendorSpecific(kInputSilent, inputSilent, nullptr, 0);
    vst->processReplacing(effectInputs.data(), effectOutputs.data(), int(frames));
    outputSilent = aware && vst->vendorSpecific(kOutputSilent, 0, nullptr, 0) != 0;
}

void DoruvezovComponent::addMidiEvent(UInt32 status, UInt32 data1, UInt32 data2, UInt32 offset) {
    if (!takesMidi) return;
    if (midiEvents->numEvents == VstInt32(kMaxMidiEvents)) fail(memFullErr);
    VstMidiEvent& e = midiPool[std::size_t(midiEvents->numEvents++)];
    e = {};
    e.type = kVstMidiType;
    e.byteSize = sizeof(VstMidiEvent);
    e.deltaFrames = VstInt32(offset);
    e.midiData[0] = char(status);
    e.midiData[1] = char(data1);
    e.midiData[2] = char(data2);
}
