// One MIDI message in a one-event list, ready for processEvents or effProcessEvents.
#pragma once

#include "plugin/VstInterface.h"

struct MidiMessage {
    MidiMessage(int status, int data1, int data2) {
        midi.type = kVstMidiType;
        midi.byteSize = sizeof midi;
        midi.midiData[0] = char(status);
        midi.midiData[1] = char(data1);
        midi.midiData[2] = char(data2);
        events.numEvents = 1;
        events.events[0] = reinterpret_cast<VstEvent*>(&midi);
    }
    // The list points into the message itself: it is never copied.
    MidiMessage(const MidiMessage&) = delete;
    MidiMessage& operator=(const MidiMessage&) = delete;

    static MidiMessage controlChange(int controller, int value, int channel = 0) {
        return {0xB0 | channel, controller, value};
    }

    VstMidiEvent midi{};
    VstEvents events{};
};
