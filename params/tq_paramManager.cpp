#include "params/tq_paramManager.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;
constexpr int kTableSize = 1024;
constexpr int kLastBeatPosition = 15;
constexpr int kWorkTextBytes = 60;

bool isSyncType(tq_paramTypes type) {
    return type >= kParamSyncTime && type <= kParamSyncRateNormalized;
}

// Host values are 0..1 whatever the arithmetic gave, NaN included.
float clampUnit(float v) {
    if (!(v > 0.0f)) return 0.0f;
    return v > 1.0f ? 1.0f : v;
}

// NaN counts as below the range, so a bad value lands on the minimum.
float clampBounds(float n, float lo, float hi) {
    if (n > hi) n = hi;
    if (!(n >= lo)) n = lo;
    return n;
}

int truncToInt(float x) {
    if (!(x > -2147483648.0f)) return x < 0.0f ? INT32_MIN : 0;
    if (x >= 2147483648.0f) return INT32_MAX;
    return static_cast<int>(x);
}

// Note-length position from an unchecked natural value.
int beatPosition(float x) {
    return std::clamp(truncToInt(x), 0, kLastBeatPosition);
}

// strncpy semantics plus a terminator at text[maxLen]; text holds maxLen + 1 bytes.
void copyPadded(char* text, const char* source, int maxLen) {
    if (maxLen < 0) return;
    std::strncpy(text, source, static_cast<size_t>(maxLen));
    text[maxLen] = 0;
}

// Restores the sign of indices cut to 32 bits, so negative indices round-trip.
long indexOf(std::uint32_t index) {
    return static_cast<std::int32_t>(index);
}

void magnitudeText(char* work, float n) {
    const char* format = n < 1.0f ? "%3.3f" : n < 10.0f ? "%4.2f" : n < 100.0f ? "%4.1f" : "%4.0f";
    std::snprintf(work, kWorkTextBytes, format, n);
}

// Floor division keeps notes below 0 on real note names (-1 is B-3).
void noteText(char* work, float n) {
    const long k = truncToInt(n);
    const long octave = (k >= 0 ? k / 12 : (k - 11) / 12);
    const long note = k - octave * 12;
    std::snprintf(work, kWorkTextBytes, "%s%ld", tq_paramManager::gNoteNames[note], octave - 2);
}

} // namespace

const float tq_paramManager::gBeatMults[16] = {
    0.125f, 1.0f / 6.0f, 0.25f, 1.0f / 3.0f, 0.375f,      0.5f, 2.0f / 3.0f, 0.75f,
    1.0f,   4.0f / 3.0f, 1.5f,  2.0f,        8.0f / 3.0f, 3.0f, 4.0f,        4.0f};
const char* const tq_paramManager::beatTimeStr[16] = {
    "1/32 ", "1/16T", "1/16 ", "1/8 T", "1/16.", "1/8  ", "1/4 T", "1/8. ",
    "1/4  ", "1/2 T", "1/4. ", "1/2  ", "1/1 T", "1/2. ", "1/1  ", "1/1  "};
const char* const tq_paramManager::metricalNames[15] = {"1/32", "1/16T", "1/16", "1/8T", "1/16.",
                                                        "1/8",  "1/4T",  "1/8.", "1/4",  "1/2T",
                                                        "1/4.", "1/2",   "1/1T", "1/2.", "1/1"};
const char* const tq_paramManager::gNoteNames[12] = {"C",  "C#", "D",  "D#", "E",  "F",
                                                     "F#", "G",  "G#", "A",  "A#", "B"};

// ---- registry --------------------------------------------------------------------------

tq_paramManager::~tq_paramManager() {
    for (auto& entry : tableMap) table_free(&entry.second);
}

void tq_paramManager::releaseTable(long index) {
    auto found = tableMap.find(index);
    if (found == tableMap.end()) return;
    table_free(&found->second);
    found->second = _table_struct{};
}

void tq_paramManager::newParameter(long index, const char* name, const char* shortName,
                                   const char* units, float minimum, float maximum,
                                   float defaultValue, tq_paramTypes type) {
    nameMap[index] = name ? name : "";
    shortNameMap[index] = shortName ? shortName : "";
    unitsMap[index] = units ? units : "";
    minimumMap[index] = minimum;
    maximumMap[index] = maximum;
    defaultMap[index] = defaultValue;
    typeMap[index] = type;
    randomizeMap[index].store(true, kRelaxed);
    releaseTable(index);

    const bool exponential =
        type == kParamLog || type == kParamSyncRate || type == kParamSyncRateNormalized;
    if (exponential || type == kParamDecibel) {
        _table_struct& table = tableMap[index];
        table_init(&table, kTableSize);
        table_fill(&table, exponential ? TABLE_EXPONENTIAL : TABLE_DECIBEL_RANGE, minimum, maximum);
    }
    if (isSyncType(type)) setHostSynced(index, false);
    setNaturalValue(index, defaultValue);
}

float tq_paramManager::getVSTvalue(long index) {
    return vstValueMap[index].load(kRelaxed);
}

float tq_paramManager::getNaturalValue(long index) {
    return naturalValueMap[index].load(kRelaxed);
}

void tq_paramManager::setAuxValue(long index, long value) {
    auxValueMap[index].store(value, kRelaxed);
}

void tq_paramManager::setRandomizeable(long index, bool flag) {
    randomizeMap[index].store(flag, kRelaxed);
}

bool tq_paramManager::canRandomize(long index) {
    return randomizeMap[index].load(kRelaxed);
}
float tq_paramManager::getDefaultValue(long index) {
    return defaultMap[index];
}
float tq_paramManager::getMinimumValue(long index) {
    return minimumMap[index];
}
float tq_paramManager::getMaximumValue(long index) {
    return maximumMap[index];
}
long tq_paramManager::getAuxValue(long index) {
    return auxValueMap[index].load(kRelaxed);
}
tq_paramTypes tq_paramManager::getType(long index) {
    return typeMap[index];
}
std::string tq_paramManager::getName(long index) {
    return nameMap[index];
}
int tq_paramManager::getParameterCount() {
    return static_cast<int>(vstValueMap.size());
}

void tq_paramManager::getName(long index, char* text, int maxLen) {
    if (maxLen < 0) return;
    const std::string& name = maxLen <= 8 ? shortNameMap[index] : nameMap[index];
    copyPadded(text, name.c_str(), maxLen);
}

// ---- value domains ---------------------------------------------------------------------

void tq_paramManager::setVSTvalue(long index, float v) {
    vstValueMap[index].store(v, kRelaxed);
    naturalValueMap[index].store(naturalValueFromVSTvalue(index, v), kRelaxed);
}

void tq_paramManager::setNaturalValue(long index, float n) {
    naturalValueMap[index].store(n, kRelaxed);
    vstValueMap[index].store(VSTvalueFromNaturalValue(index, n), kRelaxed);
}

bool tq_paramManager::getHostSynced(long index) {
    return isSyncType(typeMap[index]) && auxValueMap[index].load(kRelaxed) != 0;
}

void tq_paramManager::setHostSynced(long index, bool flag) {
    if (!isSyncType(typeMap[index])) return;
    auxValueMap[index].store(flag ? 1 : 0, kRelaxed);
    setVSTvalue(index, vstValueMap[index].load(kRelaxed));
}

float tq_paramManager::naturalValueFromVSTvalue(long index, float v) {
    const tq_paramTypes type = typeMap[index];
    const float lo = minimumMap[index];
    const float hi = maximumMap[index];
    switch (type) {
    case kParamOnOff:
        return v > 0.5f ? 1.0f : 0.0f;
    case kParamLog:
        return table_lookup(&tableMap[index], v);
    case kParamInteger:
    case kParamNote:
        return std::floor(lo + (hi - lo) * v + 0.5f);
    case kParamBeatDivision:
        return std::floor(v * 0.99f * 15.0f);
    case kParamSyncTime:
        return getHostSynced(index) ? std::floor(v * 15.0f) : lo + (hi - lo) * v;
    case kParamSyncRate:
        return getHostSynced(index) ? std::floor((1.0f - v) * 15.0f)
                                    : table_lookup(&tableMap[index], v);
    case kParamSyncTimeNormalized:
    case kParamSyncRateNormalized:
        return v;
    default:
        return lo + (hi - lo) * v;
    }
}

float tq_paramManager::VSTvalueFromNaturalValue(long index, float n) {
    const tq_paramTypes type = typeMap[index];
    const float lo = minimumMap[index];
    const float hi = maximumMap[index];
    float v;
    switch (type) {
    case kParamOnOff:
    case kParamSyncTimeNormalized:
    case kParamSyncRateNormalized:
        v = n;
        break;
    case kParamLog:
        v = table_inverse_calculate(TABLE_EXPONENTIAL, n, lo, hi);
        break;
    case kParamBeatDivision:
        v = n / 15.0f;
        break;
    case kParamSyncTime:
        v = getHostSynced(index) ? n / 15.0f : (n - lo) / (hi - lo);
        break;
    case kParamSyncRate:
        v = getHostSynced(index) ? 1.0f - n / 15.0f
                                 : table_inverse_calculate(TABLE_EXPONENTIAL, n, lo, hi);
        break;
    default:
        v = (n - lo) / (hi - lo);
        break;
    }
    return clampUnit(v);
}

float tq_paramManager::dspValueFromNaturalValue(long index, float n) {
    const tq_paramTypes type = typeMap[index];
    const float lo = minimumMap[index];
    const float hi = maximumMap[index];
    switch (type) {
    case kParamDecibel:
        return table_lookup(&tableMap[index], (n - lo) / (hi - lo));
    case kParamBeatDivision:
        return gBeatMults[beatPosition(n)];
    case kParamSyncTime:
        return getHostSynced(index) ? gBeatMults[beatPosition(n)] : n;
    case kParamSyncRate:
        return getHostSynced(index) ? 1.0f / gBeatMults[beatPosition(n)] : n;
    case kParamSyncTimeNormalized:
        return getHostSynced(index) ? gBeatMults[beatPosition(n * 15.0f)] : lo + (hi - lo) * n;
    case kParamSyncRateNormalized:
        return getHostSynced(index) ? 1.0f / gBeatMults[beatPosition((1.0f - n) * 15.0f)]
                                    : table_lookup(&tableMap[index], n);
    case kParamPercent:
        return clampBounds(n, lo, hi) * 0.01f;
    default:
        return clampBounds(n, lo, hi);
    }
}

float tq_paramManager::getDSPValue(long index) {
    if (typeMap[index] == kParamDecibel)
        return table_lookup(&tableMap[index], vstValueMap[index].load(kRelaxed));
    return dspValueFromNaturalValue(index, naturalValueMap[index].load(kRelaxed));
}

float tq_paramManager::getModulatedDSPValue(long index, float offset) {
    const float m = clampUnit(vstValueMap[index].load(kRelaxed) + offset);
    return dspValueFromNaturalValue(index, naturalValueFromVSTvalue(index, m));
}

float tq_paramManager::getControlValue(long index) {
    return controlUsesNaturalValue(index) ? naturalValueMap[index].load(kRelaxed)
                                          : vstValueMap[index].load(kRelaxed);
}

bool tq_paramManager::controlUsesNaturalValue(long) {
    return false;
}

// ---- stepping and randomisation ----------------------------------------------------------

void tq_paramManager::incrementNaturalValue(long index) {
    const tq_paramTypes type = typeMap[index];
    const float n = naturalValueMap[index].load(kRelaxed);
    const float lo = minimumMap[index];
    const float hi = maximumMap[index];
    float next;
    if (type == kParamOnOff)
        next = n == 0.0f ? 1.0f : 0.0f;
    else if (n + 1.0f <= hi)
        next = n + 1.0f;
    else
        next =
            (type == kParamInteger || type == kParamBeatDivision || type == kParamNote) ? lo : hi;
    setNaturalValue(index, next);
}

void tq_paramManager::decrementNaturalValue(long index) {
    const tq_paramTypes type = typeMap[index];
    const float n = naturalValueMap[index].load(kRelaxed);
    const float lo = minimumMap[index];
    const float hi = maximumMap[index];
    float next;
    if (type == kParamOnOff)
        next = n == 0.0f ? 1.0f : 0.0f;
    else if (n - 1.0f >= lo)
        next = n - 1.0f;
    else
        next = (type == kParamInteger || type == kParamBeatDivision) ? hi : lo;
    setNaturalValue(index, next);
}

void tq_paramManager::randomize(long index) {
    if (!canRandomize(index)) return;
    const tq_paramTypes type = typeMap[index];
    const bool binary =
        type == kParamOnOff || ((type == kParamInteger || type == kParamNote) &&
                                minimumMap[index] == 0.0f && maximumMap[index] == 1.0f);
    if (binary) {
        setVSTvalue(index, (std::rand() & 1) ? 1.0f : 0.0f);
        return;
    }
    // Exactly 2^-31, so RAND_MAX maps to at most 1.0.
    setVSTvalue(index, std::fabs(static_cast<float>(std::rand()) * std::ldexp(1.0f, -31)));
}

// ---- text ------------------------------------------------------------------------------

void tq_paramManager::getValueString(long index, char* text, int maxLen) {
    getValueStringFromNaturalValue(index, text, naturalValueMap[index].load(kRelaxed), maxLen);
}

void tq_paramManager::getValueStringFromNaturalValue(long index, char* text, float n, int maxLen) {
    if (maxLen < 1) return;
    char work[kWorkTextBytes] = {};
    const tq_paramTypes type = typeMap[index];
    const auto beatName = [&](float position) {
        std::strcpy(work, beatTimeStr[beatPosition(position)]);
    };
    const auto wholeNumber = [&](float value) {
        std::snprintf(work, kWorkTextBytes, "%4.0f", value);
    };
    switch (type) {
    case kParamOnOff:
        std::strcpy(work, n > 0.5f ? "On" : "Off");
        break;
    case kParamInteger:
        std::snprintf(work, kWorkTextBytes, "%4d", truncToInt(n));
        break;
    case kParamBeatDivision:
        beatName(VSTvalueFromNaturalValue(index, n) * 15.0f);
        break;
    case kParamSyncTime:
        if (getHostSynced(index))
            beatName(n);
        else
            wholeNumber(n);
        break;
    case kParamSyncRate:
    case kParamSyncRateNormalized:
        if (getHostSynced(index))
            beatName((1.0f - VSTvalueFromNaturalValue(index, n)) * 15.0f);
        else
            magnitudeText(work, n);
        break;
    case kParamLinearFine:
    case kParamLog:
        magnitudeText(work, n);
        break;
    case kParamSyncTimeNormalized:
        if (getHostSynced(index))
            beatName(VSTvalueFromNaturalValue(index, n) * 15.0f);
        else
            wholeNumber(minimumMap[index] + (maximumMap[index] - minimumMap[index]) * n);
        break;
    case kParamNote:
        noteText(work, n);
        break;
    default:
        wholeNumber(n);
        break;
    }
    std::strncpy(text, work, static_cast<size_t>(maxLen));
    text[maxLen - 1] = 0;
}

void tq_paramManager::getValueStringFromVSTvalue(long index, char* text, float v, int maxLen) {
    // Never longer than a host parameter text, never longer than the caller's buffer.
    getValueStringFromNaturalValue(index, text, naturalValueFromVSTvalue(index, v),
                                   std::min(maxLen, 8));
}

void tq_paramManager::getVSTvalueString(long index, char* text) {
    char work[16];
    std::snprintf(work, sizeof work, "%f", vstValueMap[index].load(kRelaxed));
    copyPadded(text, work, 8);
}

void tq_paramManager::getTextEditString(long index, char* text, int maxLen) {
    if (maxLen < 0) return;
    if (maxLen == 0) {
        text[0] = 0;
        return;
    }
    // Overrides may write whole value names beyond maxLen + 1 bytes.
    std::vector<char> buffer(static_cast<size_t>(std::max(maxLen + 1, kValueTextMinBytes)), 0);
    getValueString(index, buffer.data(), maxLen);
    int length = 0;
    for (size_t i = 0; i < buffer.size() && buffer[i] != 0 && length < maxLen; ++i)
        if (buffer[i] != ' ') text[length++] = buffer[i];
    text[length] = 0;
}

void tq_paramManager::getUnitsName(long index, char* text, int maxLen) {
    const tq_paramTypes type = typeMap[index];
    const char* units;
    if (type == kParamSyncTime || type == kParamSyncTimeNormalized)
        units = getHostSynced(index) ? "" : maxLen < 5 ? "ms" : "msec";
    else if (type == kParamSyncRate || type == kParamSyncRateNormalized)
        units = getHostSynced(index) ? "" : "Hz";
    else
        units = unitsMap[index].c_str();
    copyPadded(text, units, maxLen);
}

void tq_paramManager::floatToTimeStr(char* text, float milliseconds, int maxLen) {
    if (maxLen < 0) return;
    const size_t size = static_cast<size_t>(maxLen) + 1;
    if (milliseconds >= 1000.0f)
        std::snprintf(text, size, "%4.3f", milliseconds * 0.001f);
    else
        std::snprintf(text, size, "%3.0f", milliseconds);
}

void tq_paramManager::getAllValueStrings(long index, std::vector<std::string>& list) {
    if (typeMap[index] != kParamInteger) return;
    list.clear();
    const long last = truncToInt(maximumMap[index]);
    for (long k = truncToInt(minimumMap[index]); k <= last; ++k) list.push_back(std::to_string(k));
}

// ---- parsing ---------------------------------------------------------------------------

bool tq_paramManager::matchMetricalStr(const char* text, int& index) {
    char candidate[7];
    int length = 0;
    for (int i = 0; i < 6 && text[i] != 0; ++i)
        if (text[i] != ' ') candidate[length++] = text[i];
    candidate[length] = 0;
    for (int i = 0; i < gNumberOfBeatMults; ++i) {
        if (std::strcmp(candidate, metricalNames[i]) == 0) {
            index = i;
            return true;
        }
    }
    return false;
}

bool tq_paramManager::naturalValueFromString(long index, const char* text, float& natural) {
    const tq_paramTypes type = typeMap[index];
    const bool synced = getHostSynced(index);
    bool parsed = false;
    int position = 0;
    if (type == kParamOnOff) {
        parsed = false;
    } else if (type == kParamBeatDivision || (type == kParamSyncTime && synced)) {
        if ((parsed = matchMetricalStr(text, position))) natural = static_cast<float>(position);
    } else if (type == kParamSyncRate && synced) {
        if ((parsed = matchMetricalStr(text, position)))
            natural = static_cast<float>(14 - position);
    } else {
        float value = 0.0f;
        // A typed "nan" is no number.
        parsed = std::sscanf(text, "%10f", &value) == 1 && !std::isnan(value);
        if (parsed) natural = value;
    }
    natural = clampBounds(natural, minimumMap[index], maximumMap[index]);
    return parsed;
}

// ---- snapshots -------------------------------------------------------------------------

int tq_paramManager::createState(std::set<unsigned int>& indices) {
    State state;
    state.reserve(indices.size());
    for (unsigned int index : indices)
        state.push_back({index, vstValueMap[indexOf(index)].load(kRelaxed)});
    stateList.push_back(std::move(state));
    return static_cast<int>(stateList.size()) - 1;
}

void tq_paramManager::saveState(int number) {
    if (number < 0 || static_cast<size_t>(number) >= stateList.size()) return;
    for (_pr& record : stateList[static_cast<size_t>(number)])
        record.value = vstValueMap[indexOf(record.index)].load(kRelaxed);
}

void tq_paramManager::restoreState(int number) {
    if (number < 0 || static_cast<size_t>(number) >= stateList.size()) return;
    // A copy: an override of setVSTvalue may create states.
    const State state = stateList[static_cast<size_t>(number)];
    for (const _pr& record : state) setVSTvalue(indexOf(record.index), record.value);
}

tq_paramManager::paramMemento* tq_paramManager::createMemento() {
    StateList states;
    states.reserve(stateList.size() + 1);
    State& all = states.emplace_back();
    all.reserve(vstValueMap.size());
    for (const auto& [index, value] : vstValueMap)
        all.push_back({static_cast<std::uint32_t>(index), value.load(kRelaxed)});
    states.insert(states.end(), stateList.begin(), stateList.end());
    auto* memento = new paramMemento;
    memento->setState(states);
    return memento;
}

void tq_paramManager::setMemento(const paramMemento* memento) {
    if (!memento || memento->getState().empty()) return;
    const StateList states = memento->getState();
    for (const _pr& record : states.front()) setVSTvalue(indexOf(record.index), record.value);
    stateList.assign(states.begin() + 1, states.end());
}

void tq_paramManager::paramMemento::restore(char*, unsigned long) {
    states.clear();
}
