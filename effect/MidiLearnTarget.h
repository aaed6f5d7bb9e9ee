// What an editor needs of its effect beyond the host's parameter calls: the learn gesture.
// The effect implements it; an editor reaches it without knowing the effect's class.
#pragma once

class MidiLearnTarget {
public:
    // [ui thread] Arms, moves or cancels learning for the parameter whose index is tag;
    // tags that name no parameter are ignored.
    virtual void handleSpecialClick(long tag) = 0;

protected:
    ~MidiLearnTarget() = default;
};
