#include "host/PluginHost.h"

#include "host/HostError.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <utility>

namespace fs = std::filesystem;

namespace {

// The instance being built: the entry point calls back before the host knows its record.
thread_local PluginHost* loading = nullptr;

// What this host does, for audioMasterCanDo.
constexpr std::array hostFeatures = {
    "sendVstEvents", "sendVstMidiEvent", "sendVstTimeInfo",
    "supplyIdle",    "sizeWindow",       "startStopProcess",
};

constexpr double kTempo = 120; // no song here; a steady tempo for plug-ins that want one

std::string trimmed(const std::string& s) {
    auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool sameText(const std::string& a, const std::string& b) {
    std::string x = trimmed(a), y = trimmed(b);
    return std::equal(x.begin(), x.end(), y.begin(), y.end(), [](char c, char d) {
        return std::tolower(static_cast<unsigned char>(c)) ==
               std::tolower(static_cast<unsigned char>(d));
    });
}

std::optional<long> wholeNumber(const std::string& s) {
    if (s.empty() || s.size() > 9 ||
        !std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); }))
        return std::nullopt;
    return std::stol(s);
}

// A symbol of the module itself, not one found in a library it depends on.
void* ownSymbol(void* library, const char* name) {
    void* symbol = dlsym(library, name);
    if (!symbol) return nullptr;
    Dl_info info{};
    link_map* map = nullptr;
    if (!dladdr(symbol, &info) || dlinfo(library, RTLD_DI_LINKMAP, &map) != 0 || !map)
        return nullptr;
    return info.dli_fname && std::strcmp(info.dli_fname, map->l_name) == 0 ? symbol : nullptr;
}

} // namespace

fs::path PluginHost::resolveModule(const fs::path& given) {
    std::error_code ec;
    if (!fs::exists(given, ec)) throw HostError("plug-in not found: '" + given.string() + "'");
    // dlopen looks a bare file name up on the library path, not in the current folder.
    const fs::path path = fs::absolute(given, ec);
    if (!fs::is_directory(path, ec)) return path;
    const fs::path binaries = path / "Contents" / "x86_64-linux";
    const fs::path named = binaries / (path.stem().string() + ".so");
    if (fs::is_regular_file(named, ec)) return named;
    std::vector<fs::path> modules;
    for (const auto& entry : fs::directory_iterator(binaries, ec))
        if (entry.path().extension() == ".so") modules.push_back(entry.path());
    if (modules.size() != 1)
        throw HostError("no plug-in module in bundle '" + path.string() + "' (expected " +
                        named.string() + ")");
    return modules.front();
}

PluginHost::PluginHost(const fs::path& path, double sampleRate, VstInt32 blockSize)
    : module_(resolveModule(path)), sampleRate_(sampleRate), blockSize_(blockSize) {
    const std::string name = "'" + module_.string() + "'";
    library_ = dlopen(module_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library_) {
        const char* why = dlerror();
        throw HostError("cannot load plug-in " + name + ": " + (why ? why : "unknown error"));
    }
    using Entry = AEffect* (*)(audioMasterCallback);
    void* entry = ownSymbol(library_, "VSTPluginMain");
    if (!entry) entry = ownSymbol(library_, "main");
    if (!entry) {
        dlclose(library_);
        throw HostError(name + " is not a VST plug-in: it exports neither VSTPluginMain nor main");
    }
    directory_ = fs::absolute(module_).parent_path().string();
    loading = this;
    effect_ = reinterpret_cast<Entry>(entry)(&PluginHost::callback);
    loading = nullptr;
    if (!effect_) {
        dlclose(library_);
        throw HostError("plug-in " + name +
                        " refused to start: its entry point returned no effect");
    }
    if (effect_->magic != kEffectMagic) {
        // Whatever it built cannot be closed safely: it stays, with its module, until exit.
        [[maybe_unused]] static AEffect* abandoned = nullptr;
        abandoned = std::exchange(effect_, nullptr);
        throw HostError(name + " is not a VST plug-in: its effect record has the wrong magic");
    }
    effect_->resvd1 = reinterpret_cast<VstIntPtr>(this);

    time_.sampleRate = sampleRate_;
    time_.tempo = kTempo;
    time_.timeSigNumerator = 4;
    time_.timeSigDenominator = 4;
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate_));
    dispatch(effSetBlockSize, 0, blockSize_);
}

PluginHost::~PluginHost() {
    if (!effect_) return;
    suspend();
    dispatch(effClose);
    dlclose(library_);
}

VstIntPtr PluginHost::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt) const {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void PluginHost::setConnectedPins(int inputs, int outputs) {
    inputsConnected_ = inputs;
    outputsConnected_ = outputs;
}

void PluginHost::resume() {
    if (running_) return;
    dispatch(effMainsChanged, 0, 1);
    dispatch(effStartProcess);
    running_ = true;
    time_.flags |= kVstTransportChanged;
}

void PluginHost::suspend() {
    if (!running_) return;
    dispatch(effStopProcess);
    dispatch(effMainsChanged, 0, 0);
    running_ = false;
}

std::string PluginHost::text(VstInt32 opcode, VstInt32 index, VstIntPtr value) const {
    // Plug-ins overrun the published limits often enough that the buffer is generous.
    char buffer[256] = {};
    dispatch(opcode, index, value, buffer);
    buffer[sizeof buffer - 1] = 0;
    return trimmed(buffer);
}

std::string PluginHost::effectName() const {
    return text(effGetEffectName);
}
std::string PluginHost::vendor() const {
    return text(effGetVendorString);
}
std::string PluginHost::product() const {
    return text(effGetProductString);
}
std::string PluginHost::parameterName(VstInt32 i) const {
    return text(effGetParamName, i);
}
std::string PluginHost::parameterDisplay(VstInt32 i) const {
    return text(effGetParamDisplay, i);
}
std::string PluginHost::parameterLabel(VstInt32 i) const {
    return text(effGetParamLabel, i);
}

std::string PluginHost::programName(VstInt32 index) const {
    char buffer[256] = {};
    if (dispatch(effGetProgramNameIndexed, index, -1, buffer)) return trimmed(buffer);
    // Without indexed names, the current program's name is all a host can read.
    return index == dispatch(effGetProgram) ? text(effGetProgramName) : std::string();
}

bool PluginHost::canDo(const char* feature) const {
    return dispatch(effCanDo, 0, 0, const_cast<char*>(feature)) > 0;
}

VstInt32 PluginHost::findParameter(const std::string& nameOrIndex) const {
    if (auto n = wholeNumber(nameOrIndex)) {
        if (*n < effect_->numParams) return static_cast<VstInt32>(*n);
        throw HostError("parameter " + nameOrIndex + " does not exist (the plug-in has " +
                        std::to_string(effect_->numParams) + " parameters, 0 to " +
                        std::to_string(effect_->numParams - 1) + ")");
    }
    for (VstInt32 i = 0; i < effect_->numParams; ++i)
        if (sameText(parameterName(i), nameOrIndex)) return i;
    throw HostError("unknown parameter '" + nameOrIndex + "' (see: orvella-host info)");
}

VstInt32 PluginHost::findProgram(const std::string& nameOrIndex) const {
    if (auto n = wholeNumber(nameOrIndex)) {
        if (*n < effect_->numPrograms) return static_cast<VstInt32>(*n);
        throw HostError("program " + nameOrIndex + " does not exist (the plug-in has " +
                        std::to_string(effect_->numPrograms) + " programs)");
    }
    for (VstInt32 i = 0; i < effect_->numPrograms; ++i)
        if (sameText(programName(i), nameOrIndex)) return i;
    throw HostError("unknown program '" + nameOrIndex + "' (see: orvella-host info)");
}

void PluginHost::setProgram(VstInt32 program) {
    dispatch(effBeginSetProgram);
    dispatch(effSetProgram, 0, program);
    dispatch(effEndSetProgram);
}

bool PluginHost::setParameterToDisplay(VstInt32 index, const std::string& wanted) {
    // List parameters show one text over a range of host values: take the middle of the
    // first range that shows the wanted text, away from the rounding at its edges.
    constexpr int kSteps = 1000;
    const float before = effect_->getParameter(effect_, index);
    int first = -1, last = -1;
    for (int step = 0; step <= kSteps; ++step) {
        effect_->setParameter(effect_, index, static_cast<float>(step) / kSteps);
        const bool shows = sameText(parameterDisplay(index), wanted);
        if (shows && first < 0) first = step;
        if (shows) last = step;
        if (!shows && first >= 0) break;
    }
    const float value = first < 0 ? before : static_cast<float>(first + last) / (2 * kSteps);
    effect_->setParameter(effect_, index, value);
    return first >= 0;
}

VstTimeInfo* PluginHost::timeInfo(VstIntPtr mask) {
    const double seconds = time_.samplePos / sampleRate_;
    time_.ppqPos = seconds * kTempo / 60;
    time_.barStartPos = std::floor(time_.ppqPos / 4) * 4;
    time_.flags = (time_.flags & kVstTransportChanged) | kVstTransportPlaying | kVstPpqPosValid |
                  kVstTempoValid | kVstBarsValid | kVstTimeSigValid;
    if (mask & kVstNanosValid) {
        time_.nanoSeconds =
            static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                    std::chrono::steady_clock::now().time_since_epoch())
                                    .count());
        time_.flags |= kVstNanosValid;
    }
    return &time_;
}

VstIntPtr PluginHost::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                               void* ptr, float opt) {
    PluginHost* host = loading;
    if (!host && effect && effect->magic == kEffectMagic)
        host = reinterpret_cast<PluginHost*>(effect->resvd1);
    if (!host) return opcode == audioMasterVersion ? kVstVersion : 0;
    return host->answer(opcode, index, value, ptr, opt);
}

VstIntPtr PluginHost::answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                             float opt) {
    auto copy = [ptr](const char* s, std::size_t limit) {
        if (!ptr) return VstIntPtr(0);
        std::strncpy(static_cast<char*>(ptr), s, limit);
        static_cast<char*>(ptr)[limit] = 0;
        return VstIntPtr(1);
    };
    switch (opcode) {
    case audioMasterAutomate:
        if (onAutomate) onAutomate(index, opt);
        return 0;
    case audioMasterVersion:
        return kVstVersion;
    case audioMasterCurrentId:
        return effect_ ? effect_->uniqueID : 0;
    case audioMasterPinConnected: // 0 means connected
        return index < (value == 0 ? inputsConnected_ : outputsConnected_) ? 0 : 1;
    case audioMasterWantMidi:
        return 1;
    case audioMasterGetTime:
        return reinterpret_cast<VstIntPtr>(timeInfo(value));
    case audioMasterSizeWindow:
        return onSizeWindow && onSizeWindow(index, static_cast<int>(value)) ? 1 : 0;
    case audioMasterGetSampleRate:
        return static_cast<VstIntPtr>(sampleRate_);
    case audioMasterGetBlockSize:
        return blockSize_;
    case audioMasterGetCurrentProcessLevel:
        return offline_ ? kVstProcessLevelOffline : kVstProcessLevelUser;
    case audioMasterGetVendorString:
        return copy("Orvella", kVstMaxVendorStrLen);
    case audioMasterGetProductString:
        return copy("orvella-host", kVstMaxProductStrLen);
    case audioMasterGetVendorVersion:
        return ORVELLA_HOST_VERSION;
    case audioMasterCanDo:
        return ptr && std::any_of(hostFeatures.begin(), hostFeatures.end(),
                                  [ptr](const char* f) {
                                      return std::strcmp(f, static_cast<const char*>(ptr)) == 0;
                                  })
                   ? 1
                   : 0;
    case audioMasterGetLanguage:
        return 1; // English
    case audioMasterGetDirectory:
        return reinterpret_cast<VstIntPtr>(directory_.c_str());
    case audioMasterIdle: // the editor is idled from the window loop anyway
    case audioMasterNeedIdle:
    case audioMasterUpdateDisplay: // names and displays are read when printed
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
        return 1;
    default:
        return 0;
    }
}
