#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "dsp/table.h"

// Stored as numbers in parameter records and switched on by number: never renumber.
enum tq_paramTypes : std::int32_t {
    kParamLinear = 0,
    kParamOnOff = 1,
    kParamPercent = 2,
    kParamLinearFine = 3,
    kParamLog = 4,
    kParamDecibel = 5,
    kParamInteger = 6,
    kParamBeatDivision = 7,
    kParamSyncTime = 8,
    kParamSyncRate = 9,
    kParamSyncTimeNormalized = 10,
    kParamSyncRateNormalized = 11,
    kParamNote = 12,
};

// Registry of typed parameters keyed by index. Every parameter has a host ("VST") value in
// 0..1, a natural value in its own units, and a DSP value derived on request.
//
// Every access by index behaves like an ordered map's subscript: an undeclared index is
// inserted with a zero entry in the map that was read. Declare every parameter before the
// manager is shared between threads; from then on reads and writes of declared parameters
// neither allocate nor lock, and values are single relaxed atomic stores.
// Nothing blocks; [any thread] and [audio thread] operations never allocate for declared indices.
class tq_paramManager {
public:
    // One record of a snapshot.
    struct _pr {
        std::uint32_t index;
        float value;
    };
    using State = std::vector<_pr>;
    using StateList = std::vector<State>;

    // Every parameter's host value (state 0) plus copies of the stored states (1 onward).
    class paramMemento {
    public:
        paramMemento() = default;
        virtual ~paramMemento() = default;
        // [main thread]
        void setState(const StateList& states) { this->states = states; }
        // [main thread]
        StateList& getState() { return states; }
        const StateList& getState() const { return states; }
        // Discards every state; the data is not read. [main thread]
        void restore(char* data, unsigned long size);

    private:
        StateList states;
    };

    // Note lengths in beats, their display names (five characters, space-padded) and the
    // names typed text is matched against. Position 15 repeats 14 so that the top of the
    // host range reads a valid entry.
    static const float gBeatMults[16];
    static const char* const beatTimeStr[16];
    static const char* const metricalNames[15];
    static const char* const gNoteNames[12];
    static constexpr int gNumberOfBeatMults = 15;

    // A getValueString override may fill this many bytes whatever maxLen says (whole value
    // names); it never writes more than max(maxLen + 1, kValueTextMinBytes).
    static constexpr int kValueTextMinBytes = 11;

    tq_paramManager() = default;
    tq_paramManager(const tq_paramManager&) = delete;
    tq_paramManager& operator=(const tq_paramManager&) = delete;

    // The virtual operations keep this order; subclasses rely on it.
    virtual ~tq_paramManager();
    // Declares or re-declares one parameter; allocates. [main thread, before sharing]
    virtual void newParameter(long index, const char* name, const char* shortName,
                              const char* units, float minimum, float maximum, float defaultValue,
                              tq_paramTypes type);
    // [any thread]
    virtual float getVSTvalue(long index);
    // Stores v unchanged and derives the natural value from it. [any thread]
    virtual void setVSTvalue(long index, float v);
    // [any thread]
    virtual float getNaturalValue(long index);
    // Stores n unchanged and derives the (clamped) host value from it. [any thread]
    virtual void setNaturalValue(long index, float n);
    // One natural unit up or down; integer-like types wrap. [main thread] [ui thread]
    virtual void incrementNaturalValue(long index);
    virtual void decrementNaturalValue(long index);
    // The aux entry holds the host-synced flag of the sync types. [main thread]
    virtual void setAuxValue(long index, long value);
    // Sync types only; keeps the host value and re-derives the natural value. [main thread]
    virtual void setHostSynced(long index, bool flag);
    // [main thread]
    virtual void setRandomizeable(long index, bool flag);
    // [any thread]
    virtual bool canRandomize(long index);
    // Uses the C library's rand(), never seeded here. [main thread]
    virtual void randomize(long index);
    // [audio thread] allocation-free for declared indices.
    virtual float getDSPValue(long index);
    // DSP value at the stored host value plus offset; stores nothing. [audio thread]
    virtual float getModulatedDSPValue(long index, float offset);
    // Stored entries, as declared. [any thread]
    virtual float getDefaultValue(long index);
    virtual float getMinimumValue(long index);
    virtual float getMaximumValue(long index);
    virtual long getAuxValue(long index);
    virtual bool getHostSynced(long index);
    virtual tq_paramTypes getType(long index);
    // Short name for maxLen up to 8, long name above; text holds maxLen + 1 bytes.
    // [any thread]
    virtual void getName(long index, char* text, int maxLen);
    // Allocates. [main thread]
    virtual std::string getName(long index);
    // text holds maxLen + 1 bytes. [any thread]
    virtual void getUnitsName(long index, char* text, int maxLen);
    // text holds maxLen bytes (more for overrides, see kValueTextMinBytes). [any thread]
    virtual void getValueString(long index, char* text, int maxLen);
    // Visible text at most maxLen - 1 characters, terminated within maxLen bytes.
    // [any thread]
    virtual void getValueStringFromNaturalValue(long index, char* text, float natural, int maxLen);
    // Formatted as a host text of 8 bytes, or maxLen when shorter. [any thread]
    virtual void getValueStringFromVSTvalue(long index, char* text, float vst, int maxLen);
    // text holds 9 bytes. [any thread]
    virtual void getVSTvalueString(long index, char* text);
    // Value text without spaces, for a text-entry field; text holds maxLen + 1 bytes.
    // Allocates. [main thread] [ui thread]
    virtual void getTextEditString(long index, char* text, int maxLen);
    // Always within 0..1. [any thread]
    virtual float VSTvalueFromNaturalValue(long index, float natural);
    // [any thread]
    virtual float naturalValueFromVSTvalue(long index, float v);
    // [audio thread] allocation-free for declared indices.
    virtual float dspValueFromNaturalValue(long index, float natural);
    // Parses typed text; natural is clamped to the bounds whatever the result.
    // [main thread] [ui thread]
    virtual bool naturalValueFromString(long index, const char* text, float& natural);
    // [any thread]
    virtual int getParameterCount();
    // The natural value for controls that show it, else the host value. [any thread]
    virtual float getControlValue(long index);
    virtual bool controlUsesNaturalValue(long index);
    // Every whole value of an integer parameter as text; other types leave the list alone.
    // Allocates. [main thread]
    virtual void getAllValueStrings(long index, std::vector<std::string>& list);
    // Appends a state recording the given parameters; returns its number. [main thread]
    virtual int createState(std::set<unsigned int>& indices);
    // Re-records the current values into a state; unknown numbers are ignored. [main thread]
    virtual void saveState(int number);
    // Applies a state through setVSTvalue; unknown numbers are ignored. [main thread]
    virtual void restoreState(int number);
    // Seconds from 1000 ms on, else milliseconds; text holds maxLen + 1 bytes. [any thread]
    virtual void floatToTimeStr(char* text, float milliseconds, int maxLen);
    // True and the position when text names a note length (spaces ignored). [any thread]
    virtual bool matchMetricalStr(const char* text, int& index);

    // Note-length names are offered only through matchMetricalStr and value texts.
    const char* const* getMetricalNames() { return nullptr; }
    // The caller owns the memento. [main thread]
    paramMemento* createMemento();
    // Applies state 0 and replaces the stored states; null or empty mementos do nothing.
    // [main thread]
    void setMemento(const paramMemento* memento);

private:
    template <class T> using IndexMap = std::map<long, T>;

    void releaseTable(long index);

    StateList stateList;
    IndexMap<std::atomic<float>> vstValueMap;
    IndexMap<std::atomic<float>> naturalValueMap;
    IndexMap<float> minimumMap;
    IndexMap<float> maximumMap;
    IndexMap<float> defaultMap;
    IndexMap<std::string> nameMap;
    IndexMap<std::string> shortNameMap;
    IndexMap<std::string> unitsMap;
    IndexMap<tq_paramTypes> typeMap;
    IndexMap<_table_struct> tableMap;
    IndexMap<std::atomic<long>> auxValueMap;
    IndexMap<std::atomic<bool>> randomizeMap;
};
