#include "audiounit/DoruvezovComponent.h"

#include "audiounit/AUPresetDictionary.h"
#include "audiounit/AUPresetFiles.h"
#include "audiounit/DoruvezovEntry.h"
#include "audiounit/PropertyListReading.h"
#include "audiounit/platform/AUListeners.h"
#include "audiounit/platform/CFBundleInfoDictionary.h"
#include "audiounit/platform/CFNumber.h"
#include "vstbridge/DoruvezovException.h"

#include <algorithm>
#include <cstring>
#include <dlfcn.h>
#include <exception>

namespace fs = std::filesystem;

namespace {

constexpr int kMaxPins = 32;
constexpr VstInt32 kAwareQuery = CCONST('s', 'H', 'i', '!');
constexpr int kVendorNaturalToHost = 12345;
constexpr int kVendorPresetBegins = 45678;
constexpr int kVendorPresetEnds = 34567;
constexpr UInt32 kPropertyLatency = 12;
constexpr UInt32 kPropertyTailTime = 20;
constexpr UInt32 kPropertyCurrentPreset = 28;
constexpr UInt32 kPropertyPresentPreset = 36;
constexpr std::size_t kProgramNameLength = 24;
// A preset file's name with ".aupreset" stays within a file name's 255 bytes.
constexpr std::size_t kMaxPresetNameBytes = 246;

const char* const kHostCanDos[] = {"sendVstEvents",           "sendVstMidiEvent", "sendVstTimeInfo",
                                   "reportConnectionChanges", "sizeWindow",       "supplyIdle"};

// At most length bytes of text, never ending inside a UTF-8 sequence.
std::string cutUtf8(const std::string& text, std::size_t length) {
    if (text.size() <= length) return text;
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xc0) == 0x80) --length;
    return text.substr(0, length);
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string lowercaseExtension(const std::string& name) {
    std::string extension = fs::path(name).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

// Program names may hold what a file name cannot.
std::string presetFileName(const std::string& name) {
    std::string file = cutUtf8(name, kMaxPresetNameBytes);
    std::replace(file.begin(), file.end(), '/', '-');
    return file + ".aupreset";
}

// The sub-folder of that name, created when missing.
FSRef descendOrCreateFolder(const FSRef& parent, const std::string& name) {
    FSRef folder;
    if (OSStatus status = FSMakeFSRef(parent, name, &folder)) throw MacOSException(status);
    if (FSIsFolder(folder)) return folder;
    if (OSStatus status = FSCreateDirectory(parent, name, &folder)) throw MacOSException(status);
    return folder;
}

} // namespace

DoruvezovComponent::DoruvezovComponent(ComponentInstance instance)
    : instance(instance), parameters(std::make_unique<ParameterMap>(0)),
      presets(std::make_unique<FactoryPresetList>()),
      current{-1, CFHolder<CFString>(CFStringCreateWithCString("Untitled"))} {
    findOwnBundle();
    loadConfiguration();
    findResources();
    openEffect();

    aware = vst->vendorSpecific(kAwareQuery, 0, nullptr, 0) != 0;
    tail = vst->getTailSize() != 0;
    bypass = vst->setBypass(false);
    host = identifyHost();
    if (OSStatus status = GetComponentInfo(instance->component, &description, nullptr)) {
        throw MacOSException(status);
    }
    measureBuses();
    setUpRendering();

    parameters = std::make_unique<ParameterMap>(vst->getParameterCount());
    readParameterMapping(resource("SYParameters.txt"));
    loadFactoryPresets(resource("SYFactoryPresets.txt"));
    if (config.autoConvertPresets) convertVSTPresets();
    updateLatencyAndTail();
    updateCurrentAUPreset();
    if (OSStatus status =
            InstallEventLoopTimer(kIdleSeconds, kIdleSeconds, idleTimer, this, &timer)) {
        throw MacOSException(status);
    }
}

DoruvezovComponent::~DoruvezovComponent() {
    // Nothing may fire into a half-destroyed component; a failure is not reported from here.
    if (timer) RemoveEventLoopTimer(timer);
}

void DoruvezovComponent::findOwnBundle() {
    Dl_info image{};
    if (!dladdr(reinterpret_cast<void*>(&DoruvezovEntry), &image) || !image.dli_fname) {
        throw DoruvezovException("Could not find image for current bundle");
    }
    fs::path path(image.dli_fname);
    if (path.empty())
        throw DoruvezovException("Could not create URL from file system representation");
    // The executable, its folder and the contents folder.
    for (int i = 0; i < 3; ++i) {
        if (!path.has_relative_path() || path.relative_path() == path.relative_path().filename()) {
            throw DoruvezovException("Could not remove last path component from URL");
        }
        path = path.parent_path();
    }
    bundle.reset(CFBundleCreateWithPath(path));
    if (!bundle) throw DoruvezovException("Could not create bundle from URL");
}

void DoruvezovComponent::loadConfiguration() {
    CFHolder<CFDictionary> info(CFBundleCopyInfoDictionaryInDirectory(bundle->bundlePath()));
    if (!info) throw DoruvezovException("Could not get info dictionary for bundle");
    CFDictionaryRef sy = requireDictionary(info.get(), "SYConfig");
    config.autoConvertPresets = requireBoolean(sy, "AutoConvertPresets");
    config.presetIsFXB = requireBoolean(sy, "PresetIsFXB");
    config.updateNameOnLoad = requireBoolean(sy, "UpdateNameOnLoad");
    config.canDoMonoIO = requireBoolean(sy, "CanDoMonoIO");
}

void DoruvezovComponent::findResources() {
    resources.path = bundle->bundlePath() / "Contents" / "Resources";
    // A host reads the code alone: a missing folder is a missing file to it.
    if (!FSIsFolder(resources)) {
        throw MacOSException(fnfErr, "Could not locate resources directory within bundle");
    }
}

CFBundleRef DoruvezovComponent::createEffectBundle() {
    std::vector<FSFolderItem> items;
    if (FSListFolder(resources, items) != noErr) {
        throw DoruvezovException("Could not locate resources of specific type in bundle");
    }
    std::vector<fs::path> found;
    for (const FSFolderItem& item : items) {
        if (fs::path(item.name).extension() == ".vst") found.push_back(resources.path / item.name);
    }
    if (found.empty())
        return static_cast<CFBundleRef>(const_cast<CFObject*>(CFRetain(bundle.get())));
    if (found.size() > 1)
        throw DoruvezovException("Found more than one VST bundle or alias in resources");
    std::error_code error;
    const fs::path resolved = fs::canonical(found.front(), error);
    if (error) throw DoruvezovException("Could not create URL from FSRef");
    CFBundleRef effect = CFBundleCreateWithPath(resolved);
    if (!effect) throw DoruvezovException("Could not locate VST bundle");
    return effect;
}

void DoruvezovComponent::openEffect() {
    CFHolder<CFBundle> effectBundle(createEffectBundle());
    vst = std::make_unique<VSTPlugIn>(*this, const_cast<CFBundleRef>(effectBundle.get()),
                                      kDefaultSampleRate, kDefaultMaxFramesPerSlice);
    vst->open();
    if (vst->getInputCount() > kMaxPins) throw DoruvezovException("VST has too many inputs");
    if (vst->getOutputCount() > kMaxPins) throw DoruvezovException("VST has too many outputs");
    if (!vst->canProcessReplacing())
        throw DoruvezovException("VST does not support processReplacing()");
}

void DoruvezovComponent::measureBuses() {
    // Instruments in other hosts than early Logic get every bus measured.
    const bool measureEvery =
        description.componentType == fourCharCode("aumu") && host != kHostLogicBefore8;
    inputs = ::measureBuses(
        vst->getInputCount(),
        [this](int pin, VstPinProperties& p) { return vst->getInputProperties(pin, p); },
        measureEvery);
    outputs = ::measureBuses(
        vst->getOutputCount(),
        [this](int pin, VstPinProperties& p) { return vst->getOutputProperties(pin, p); },
        measureEvery);
    channelInfos = ::channelConfigurations(inputs, outputs, config.canDoMonoIO);
}

FSRef DoruvezovComponent::resource(const char* name) const {
    FSRef file;
    if (OSStatus status = FSMakeFSRef(resources, name, &file)) throw MacOSException(status);
    return file;
}

void DoruvezovComponent::readParameterMapping(const FSRef& file) {
    const std::vector<unsigned char> bytes = loadFromFile(file);
    parameters->read(bytes.data(), bytes.data() + bytes.size());
}

void DoruvezovComponent::loadFactoryPresets(const FSRef& file) {
    const std::vector<unsigned char> bytes = loadFromFile(file);
    presets->read(bytes.data(), bytes.data() + bytes.size(),
                  [this](const std::string& name) { return loadFromFile(resource(name.c_str())); });
}

void DoruvezovComponent::updateLatencyAndTail() {
    const double newLatency = vst->getInitialDelay() / format.mSampleRate;
    const double newTail = tail ? vst->getTailSize() / format.mSampleRate : tailTime;
    const bool latencyChanged = newLatency != latency;
    const bool tailChanged = newTail != tailTime;
    latency = newLatency;
    tailTime = newTail;
    if (latencyChanged) announcePropertyChange(kPropertyLatency, kAudioUnitScope_Global, 0);
    if (tailChanged) announcePropertyChange(kPropertyTailTime, kAudioUnitScope_Global, 0);
}

CFMutableDictionaryRef DoruvezovComponent::createAUPresetWithVSTData(unsigned long size,
                                                                     const unsigned char* data,
                                                                     CFStringRef name) {
    return createAUPresetDictionary(description, data, size, name);
}

CFMutableDictionaryRef DoruvezovComponent::createAUPresetOfCurrentBank(CFStringRef name) {
    unsigned long size = 0;
    std::unique_ptr<unsigned char[]> data(vst->createFXB(size));
    return createAUPresetWithVSTData(size, data.get(), name);
}

CFMutableDictionaryRef DoruvezovComponent::createAUPresetOfCurrentProgram(CFStringRef name) {
    unsigned long size = 0;
    std::unique_ptr<unsigned char[]> data(vst->createFXP(size));
    return createAUPresetWithVSTData(size, data.get(), name);
}

CFMutableDictionaryRef DoruvezovComponent::createClassInfo() {
    CFMutableDictionaryRef preset = config.presetIsFXB
                                        ? createAUPresetOfCurrentBank(current.name.get())
                                        : createAUPresetOfCurrentProgram(current.name.get());
    CFHolder<CFNumber> program(CFNumberCreate(vst->getCurrentProgram()));
    preset->set("ProgramNumber", program.get());
    return preset;
}

void DoruvezovComponent::loadAUPreset(CFTypeRef value) {
    const AUPresetContents preset = readAUPreset(value, description);
    CFDictionary* dictionary = const_cast<CFDictionary*>(CFDictionaryCast(value));
    if (preset.version == 0) {
        vst->vendorSpecific(kVendorPresetBegins, 0, dictionary, 0);
        for (const auto& [id, auValue] : preset.parameterValues) {
            if (id < 0 || id >= vst->getParameterCount()) continue;
            float normalised = 0;
            vst->vendorSpecific(kVendorNaturalToHost, id, &normalised, auValue);
            vst->setParameter(id, normalised);
        }
        vst->vendorSpecific(kVendorPresetEnds, 0, dictionary, 0);
    } else if (preset.version == 1) {
        if (const auto n = preset.programNumber) {
            vst->setCurrentProgram(*n >= 0 && *n < vst->getProgramCount() ? int(*n) : 0);
        }
        vst->loadFXPOrFXB(preset.vstdata.size(), preset.vstdata.data());
    }
    if (config.updateNameOnLoad) {
        vst->setCurrentProgramName(cutUtf8(preset.name, kProgramNameLength).c_str());
    }
    updateCurrentAUPreset();
    current.number = -1;
    announcePropertyChange(kPropertyCurrentPreset, kAudioUnitScope_Global, 0);
    announcePropertyChange(kPropertyPresentPreset, kAudioUnitScope_Global, 0);
}

bool DoruvezovComponent::updateCurrentAUPreset() {
    char name[kProgramNameLength + 1] = {};
    vst->getCurrentProgramName(name);
    if (current.name && current.name->text == name) return false;
    current.name.reset(CFStringCreateWithCString(name));
    current.number = -1;
    return true;
}

void DoruvezovComponent::updateCurrentVSTProgramName(CFStringRef name) {
    vst->setCurrentProgramName(cutUtf8(name->text, kProgramNameLength).c_str());
}

void DoruvezovComponent::convertVSTPresets() {
    CFStringRef name = nullptr;
    if (GetComponentInfo(instance->component, nullptr, &name) != noErr) return;
    const CFHolder<CFString> componentName(name);
    for (short domain : {kUserDomain, kLocalDomain}) {
        try {
            convertVSTPresetsInDomain(domain, componentName->text);
        } catch (...) {
            // A domain that cannot be converted (a read-only folder) is left as it is.
        }
    }
}

void DoruvezovComponent::convertVSTPresetsInDomain(short domain, const std::string& componentName) {
    FSRef folder;
    if (OSStatus status = FSFindFolder(domain, kAudioSupportFolderType, true, &folder)) {
        throw MacOSException(status);
    }
    folder = descendOrCreateFolder(folder, "Presets");
    for (std::size_t start = 0; start <= componentName.size();) {
        std::size_t colon = componentName.find(':', start);
        if (colon == std::string::npos) colon = componentName.size();
        const std::string part = trimmed(componentName.substr(start, colon - start));
        if (!part.empty()) folder = descendOrCreateFolder(folder, part);
        start = colon + 1;
    }
    std::vector<FSFolderItem> items;
    if (OSStatus status = FSListFolder(folder, items)) throw MacOSException(status);
    for (const FSFolderItem& item : items) {
        const std::string extension = lowercaseExtension(item.name);
        const bool bank = extension == ".fxb";
        if (!item.isFile || (!bank && extension != ".fxp") || (!bank && config.presetIsFXB)) {
            continue;
        }
        try {
            convertVSTPreset({folder.path / item.name}, bank);
        } catch (const std::exception&) {
            // One unreadable file does not keep the others from being converted.
        }
    }
}

void DoruvezovComponent::convertVSTPreset(const FSRef& file, bool bank) {
    const FSRef folder{file.path.parent_path()};
    const std::string name = file.path.stem().string();
    if (!bank || config.presetIsFXB) {
        const std::vector<unsigned char> data = loadFromFile(file);
        FSRef made;
        if (FSCreateFile(folder, presetFileName(name), &made) != noErr) return; // never replaced
        try {
            const CFHolder<CFString> presetName(
                CFStringCreateWithCString(cutUtf8(name, kMaxPresetNameBytes).c_str()));
            const CFHolder<CFDictionary> preset(
                createAUPresetWithVSTData(data.size(), data.data(), presetName.get()));
            saveProperties(preset.get(), made);
        } catch (...) {
            FSDeleteObject(made); // no empty preset is left for the next run to skip
            throw;
        }
        return;
    }
    FSRef bankFolder;
    if (FSCreateDirectory(folder, name, &bankFolder) != noErr) return; // converted before
    // The effect's own bank comes back afterwards: converting is not loading.
    unsigned long size = 0;
    const std::unique_ptr<unsigned char[]> saved(vst->createFXB(size));
    const int program = vst->getCurrentProgram();
    std::exception_ptr failure;
    try {
        const std::vector<unsigned char> data = loadFromFile(file);
        vst->loadFXPOrFXB(data.size(), data.data());
        convertLoadedPrograms(bankFolder);
    } catch (...) {
        failure = std::current_exception();
    }
    vst->loadFXPOrFXB(size, saved.get());
    vst->setCurrentProgram(program);
    if (failure) {
        FSDeleteObject(bankFolder); // when still empty, a mended file is converted next time
        std::rethrow_exception(failure);
    }
}

void DoruvezovComponent::convertLoadedPrograms(const FSRef& folder) {
    const int remembered = vst->getCurrentProgram();
    std::string previous;
    for (int program = 0; program < vst->getProgramCount(); ++program) {
        vst->setCurrentProgram(program);
        char text[kProgramNameLength + 1] = {};
        vst->getCurrentProgramName(text);
        const std::string name = trimmed(text);
        if (name.empty() || name == previous) continue;
        previous = name;
        const CFHolder<CFString> presetName(CFStringCreateWithCString(name.c_str()));
        const CFHolder<CFDictionary> preset(createAUPresetOfCurrentProgram(presetName.get()));
        FSRef file;
        if (OSStatus status = FSMakeFSRef(folder, presetFileName(name), &file)) {
            throw MacOSException(status);
        }
        FSDeleteObject(file);
        if (OSStatus status = FSCreateFile(folder, presetFileName(name), &file)) {
            throw MacOSException(status);
        }
        saveProperties(preset.get(), file);
    }
    vst->setCurrentProgram(remembered);
}

void DoruvezovComponent::getVendor(VSTPlugIn&, char* text) {
    std::strcpy(text, "Calderis");
}

void DoruvezovComponent::getProduct(VSTPlugIn&, char* text) {
    std::strcpy(text, "Doruvezov");
}

int DoruvezovComponent::getVersion(VSTPlugIn&) {
    return 0x10000;
}

bool DoruvezovComponent::canDo(VSTPlugIn&, const char* what) {
    if (!what) return false;
    return std::any_of(std::begin(kHostCanDos), std::end(kHostCanDos),
                       [&](const char* can) { return std::strcmp(can, what) == 0; });
}

VstTimeInfo* DoruvezovComponent::getTimeInfo(VSTPlugIn&, int) {
    return &timeInfo;
}

void DoruvezovComponent::notifyParameterEvent(UInt32 type, int parameter) {
    AudioUnitEvent event{};
    event.mEventType = type;
    event.mArgument.mParameter = {instance, UInt32(parameter), kAudioUnitScope_Global, 0};
    AUEventListenerNotify(nullptr, nullptr, &event);
}

void DoruvezovComponent::beginEdit(VSTPlugIn&, int parameter) {
    notifyParameterEvent(kAudioUnitEvent_BeginParameterChangeGesture, parameter);
}

void DoruvezovComponent::automate(VSTPlugIn&, int parameter, float) {
    const AudioUnitParameter changed{instance, UInt32(parameter), kAudioUnitScope_Global, 0};
    if (OSStatus status = AUParameterListenerNotify(nullptr, nullptr, &changed)) {
        throw MacOSException(status);
    }
    notifyParameterEvent(kAudioUnitEvent_ParameterValueChange, parameter);
}

void DoruvezovComponent::endEdit(VSTPlugIn&, int parameter) {
    notifyParameterEvent(kAudioUnitEvent_EndParameterChangeGesture, parameter);
}

// A bus given fewer channels than it is wide leaves its further pins unconnected, so a
// mono track gets the effect's own mono behaviour rather than one of its stereo outputs. A
// mono input bus still feeds every input pin while some output bus keeps its width.
bool DoruvezovComponent::isIOPinConnected(VSTPlugIn&, bool output, int pin) {
    const auto connected = [pin](const std::vector<Bus>& buses,
                                 const std::vector<UInt32>& channels) {
        for (std::size_t b = 0; b < buses.size(); ++b) {
            const int k = pin - buses[b].firstChannel;
            if (k >= 0 && k < buses[b].width) return UInt32(k) < channels[b];
        }
        return true;
    };
    if (output) return connected(outputs, outputChannels);
    return connected(inputs, inputChannels) || connected(outputs, outputChannels);
}

void DoruvezovComponent::idle(VSTPlugIn&) {}

void DoruvezovComponent::updateDisplay(VSTPlugIn&) {
    if (!updateCurrentAUPreset()) return;
    announcePropertyChange(kPropertyCurrentPreset, kAudioUnitScope_Global, 0);
    announcePropertyChange(kPropertyPresentPreset, kAudioUnitScope_Global, 0);
}

void DoruvezovComponent::announcePropertyChange(UInt32 property, UInt32 scope, UInt32 element) {
    for (std::size_t i = 0; i < listenerCount; ++i) {
        const PropertyListener& l = listeners[i];
        if (l.id == property) l.proc(l.refCon, instance, property, scope, element);
    }
    if (listenerCount > 0) return;
    AudioUnitEvent event{};
    event.mEventType = kAudioUnitEvent_PropertyChange;
    event.mArgument.mProperty = {instance, property, scope, element};
    AUEventListenerNotify(nullptr, nullptr, &event);
}

void DoruvezovComponent::idleTimer(EventLoopTimerRef, void* component) {
    static_cast<DoruvezovComponent*>(component)->vst->idle();
}
