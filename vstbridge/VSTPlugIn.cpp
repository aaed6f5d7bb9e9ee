#include "vstbridge/VSTPlugIn.h"

#include "vstbridge/DoruvezovException.h"
#include "vstbridge/FxRecord.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <memory>

namespace {

constexpr VstIntPtr kAnsweredVersion = 2300;
// What effects are handed to write their texts into: far more than they may write.
constexpr std::size_t kTextBuffer = 1024;

const char* const kEndOfFile = "End of file error";
const char* const kInvalid = "Invalid format of FXP / FXB data";

void requireBytes(unsigned long available, unsigned long needed, const char* message) {
    if (available < needed) throw EOFException(message);
}

// Effects may report any count; a negative one counts as none.
unsigned long counted(int count) {
    return static_cast<unsigned long>(std::max(count, 0));
}

} // namespace

thread_local VSTPlugIn* VSTPlugIn::loading_ = nullptr;

VSTPlugIn::VSTPlugIn(VSTHost& host, CFBundleRef bundle, float samplingRate, int blockSize)
    : host_(host), bundle_(bundle), samplingRate_(samplingRate), blockSize_(blockSize) {
    CFRetain(bundle_);
}

VSTPlugIn::~VSTPlugIn() {
    if (editorOpen_) {
        dispatch(effEditClose);
        editorOpen_ = false;
    }
    if (effect_) {
        dispatch(effClose);
        open_ = false;
        effect_ = nullptr;
    }
    if (CFGetRetainCount(bundle_) == 1) CFBundleUnloadExecutable(bundle_);
    CFRelease(bundle_);
}

void VSTPlugIn::open() {
    if (effect_) return;
    if (!CFBundleIsExecutableLoaded(bundle_) && !CFBundleLoadExecutable(bundle_))
        throw DoruvezovException("Could not load VST bundle executable");
    // Linux plug-ins export VSTPluginMain; older ones only the legacy "main".
    void* entry = CFBundleGetFunctionPointerForName(bundle_, "VSTPluginMain");
    if (!entry) entry = CFBundleGetFunctionPointerForName(bundle_, "main");
    if (!entry)
        throw DoruvezovException(
            "Could not locate function in bundle executable (\"VSTPluginMain\" or \"main\")");
    using Entry = AEffect* (*)(audioMasterCallback);
    loading_ = this;
    try {
        AEffect* effect = reinterpret_cast<Entry>(entry)(&VSTPlugIn::hostCallback);
        if (!effect || effect->magic != kEffectMagic) {
            // A record of another kind cannot be closed safely: it is kept, never used.
            [[maybe_unused]] static AEffect* abandoned = nullptr;
            if (effect) abandoned = effect;
            throw DoruvezovException("VST main() doesn't return object AEffect*");
        }
        effect_ = effect;
        effect_->resvd1 = reinterpret_cast<VstIntPtr>(this);
        loading_ = nullptr;
        setSampleRate(samplingRate_);
        if (blockSize_ != 0) setBlockSize(blockSize_);
        dispatch(effOpen);
        open_ = true;
    } catch (...) {
        effect_ = nullptr;
        loading_ = nullptr;
        throw;
    }
}

int VSTPlugIn::getProgramCount() const {
    return effect_ ? effect_->numPrograms : 0;
}
int VSTPlugIn::getParameterCount() const {
    return effect_ ? effect_->numParams : 0;
}
int VSTPlugIn::getInputCount() const {
    return effect_ ? effect_->numInputs : 0;
}
int VSTPlugIn::getOutputCount() const {
    return effect_ ? effect_->numOutputs : 0;
}
int VSTPlugIn::getInitialDelay() const {
    return effect_ ? effect_->initialDelay : 0;
}
bool VSTPlugIn::hasEditor() const {
    return effect_ && (effect_->flags & effFlagsHasEditor);
}
bool VSTPlugIn::canProcessReplacing() const {
    return effect_ && (effect_->flags & effFlagsCanReplacing);
}
bool VSTPlugIn::hasProgramChunks() const {
    return effect_ && (effect_->flags & effFlagsProgramChunks);
}
bool VSTPlugIn::dontProcessSilence() const {
    return effect_ && (effect_->flags & effFlagsNoSoundInStop);
}

VstIntPtr VSTPlugIn::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                              float opt) {
    if (!effect_) return 0;
    try {
        return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
    } catch (...) {
        return 0;
    }
}

void VSTPlugIn::setSampleRate(float rate) {
    samplingRate_ = rate;
    if (open_) dispatch(effSetSampleRate, 0, 0, nullptr, rate);
}

void VSTPlugIn::setBlockSize(int size) {
    blockSize_ = size;
    if (open_) dispatch(effSetBlockSize, 0, size);
}

void VSTPlugIn::resume() {
    dispatch(effMainsChanged, 0, 1);
    resumed_ = true;
}

void VSTPlugIn::suspend() {
    dispatch(effMainsChanged, 0, 0);
    resumed_ = false;
}

void VSTPlugIn::setCurrentProgram(int program) {
    dispatch(effSetProgram, 0, program);
}

int VSTPlugIn::getCurrentProgram() {
    return static_cast<int>(std::min<VstIntPtr>(dispatch(effGetProgram), getProgramCount()));
}

void VSTPlugIn::getText(VstInt32 opcode, int index, char* text) {
    char buffer[kTextBuffer] = {};
    dispatch(opcode, index, -1, buffer);
    std::strncpy(text, buffer, kFxNameLength);
    text[kFxNameLength] = 0;
}

void VSTPlugIn::getCurrentProgramName(char* name) {
    getText(effGetProgramName, 0, name);
}

void VSTPlugIn::setCurrentProgramName(const char* name) {
    dispatch(effSetProgramName, 0, 0, const_cast<char*>(name));
}

bool VSTPlugIn::getProgramName(int program, char* name) {
    char buffer[kTextBuffer] = {};
    if (!dispatch(effGetProgramNameIndexed, program, -1, buffer)) return false;
    std::strncpy(name, buffer, kFxNameLength);
    name[kFxNameLength] = 0;
    return true;
}

void VSTPlugIn::getParameterName(int parameter, char* text) {
    getText(effGetParamName, parameter, text);
}
void VSTPlugIn::getParameterDisplay(int parameter, char* text) {
    getText(effGetParamDisplay, parameter, text);
}
void VSTPlugIn::getParameterLabel(int parameter, char* text) {
    getText(effGetParamLabel, parameter, text);
}

bool VSTPlugIn::setParameterFromString(int parameter, const char* text) {
    return dispatch(effString2Parameter, parameter, 0, const_cast<char*>(text)) != 0;
}

bool VSTPlugIn::wantsMidi() {
    const VstIntPtr answer = dispatch(effCanDo, 0, 0, const_cast<char*>("receiveVstMidiEvent"));
    return answer == 0 ? wantsMidi_ : answer > 0;
}

void VSTPlugIn::processEvents(const VstEvents& events) {
    dispatch(effProcessEvents, 0, 0, const_cast<VstEvents*>(&events));
}

VstIntPtr VSTPlugIn::vendorSpecific(int index, long long value, void* ptr, float opt) {
    return dispatch(effVendorSpecific, index, static_cast<VstIntPtr>(value), ptr, opt);
}

bool VSTPlugIn::setBypass(bool bypass) {
    return dispatch(effSetBypass, 0, bypass) != 0;
}
bool VSTPlugIn::getInputProperties(int pin, VstPinProperties& properties) {
    return dispatch(effGetInputProperties, pin, 0, &properties) != 0;
}
bool VSTPlugIn::getOutputProperties(int pin, VstPinProperties& properties) {
    return dispatch(effGetOutputProperties, pin, 0, &properties) != 0;
}
void VSTPlugIn::connectInputPin(int pin, bool connected) {
    dispatch(effConnectInput, pin, connected);
}
void VSTPlugIn::connectOutputPin(int pin, bool connected) {
    dispatch(effConnectOutput, pin, connected);
}
int VSTPlugIn::getTailSize() {
    return static_cast<int>(dispatch(effGetTailSize));
}
int VSTPlugIn::getVersion() {
    return static_cast<int>(dispatch(effGetVstVersion));
}

void VSTPlugIn::idle() {
    dispatch(effIdle);
    if (editorOpen_) dispatch(effEditIdle);
}

void VSTPlugIn::getEditorDimensions(int& width, int& height) {
    ERect* rect = nullptr;
    dispatch(effEditGetRect, 0, 0, &rect);
    width = rect ? rect->right - rect->left : 0;
    height = rect ? rect->bottom - rect->top : 0;
}

void VSTPlugIn::openEditor(void* parent) {
    editorOpen_ = true;
    if (dispatch(effEditOpen, 0, 0, parent) == 0) {
        // Nothing opened, so nothing is closed later.
        editorOpen_ = false;
        throw DoruvezovException("VST could not open editor");
    }
}

void VSTPlugIn::closeEditor() {
    dispatch(effEditClose);
    editorOpen_ = false;
}

float VSTPlugIn::getParameter(int parameter) {
    return effect_ && effect_->getParameter ? effect_->getParameter(effect_, parameter) : 0.0f;
}

void VSTPlugIn::setParameter(int parameter, float value) {
    if (effect_ && effect_->setParameter) effect_->setParameter(effect_, parameter, value);
}

void VSTPlugIn::processReplacing(const float* const* in, float* const* out, int frames) {
    if (effect_ && effect_->processReplacing)
        effect_->processReplacing(effect_, const_cast<float**>(in), const_cast<float**>(out),
                                  frames);
}

void VSTPlugIn::processAccumulating(const float* const* in, float* const* out, int frames) {
    if (effect_ && effect_->process)
        effect_->process(effect_, const_cast<float**>(in), const_cast<float**>(out), frames);
}

VstIntPtr VSTPlugIn::hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                  void* ptr, float opt) {
    VSTPlugIn* plugIn =
        effect && effect->resvd1 ? reinterpret_cast<VSTPlugIn*>(effect->resvd1) : loading_;
    if (!plugIn) return opcode == audioMasterVersion ? kAnsweredVersion : 0;
    if (plugIn == loading_ && effect) plugIn->effect_ = effect;
    try {
        return plugIn->callback(opcode, index, value, ptr, opt);
    } catch (...) {
        return 0;
    }
}

VstIntPtr VSTPlugIn::callback(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                              float opt) {
    switch (opcode) {
    case audioMasterAutomate:
        host_.automate(*this, index, opt);
        return 0;
    case audioMasterVersion:
        return kAnsweredVersion;
    case audioMasterCurrentId:
        return effect_ ? effect_->uniqueID : 0;
    case audioMasterIdle:
        host_.idle(*this);
        return 0;
    case audioMasterPinConnected: // 0 means connected
        return host_.isIOPinConnected(*this, value != 0, index) ? 0 : 1;
    case audioMasterWantMidi:
        wantsMidi_ = true;
        return 1;
    case audioMasterGetTime:
        return reinterpret_cast<VstIntPtr>(host_.getTimeInfo(*this, static_cast<int>(value)));
    case audioMasterGetParameterQuantization:
    case audioMasterNeedIdle:
    case audioMasterGetLanguage:
        return 1;
    case audioMasterSizeWindow:
        host_.resizeWindow(*this, index, static_cast<int>(value));
        return 1;
    case audioMasterGetSampleRate:
        return static_cast<VstIntPtr>(static_cast<double>(samplingRate_) + 0.5);
    case audioMasterGetBlockSize:
        return blockSize_;
    case audioMasterGetVendorString:
    case audioMasterGetProductString:
        if (!ptr) return 0;
        if (opcode == audioMasterGetVendorString)
            host_.getVendor(*this, static_cast<char*>(ptr));
        else
            host_.getProduct(*this, static_cast<char*>(ptr));
        return 1;
    case audioMasterGetVendorVersion:
        return host_.getVersion(*this);
    case audioMasterCanDo:
        return ptr && host_.canDo(*this, static_cast<const char*>(ptr)) ? 1 : 0;
    case audioMasterUpdateDisplay:
        host_.updateDisplay(*this);
        return 1;
    case audioMasterBeginEdit:
        host_.beginEdit(*this, index);
        return 1;
    case audioMasterEndEdit:
        host_.endEdit(*this, index);
        return 1;
    default:
        return 0;
    }
}

// --- FXP / FXB ----------------------------------------------------------------------------

unsigned char* VSTPlugIn::writeFxCk(unsigned char* at) {
    const unsigned long parameters = counted(getParameterCount());
    char name[kFxNameLength + 1];
    getCurrentProgramName(name);
    at = fxWriteHeader(at, kFxProgramParameters, kFxProgramValuesAt + 4 * parameters,
                       effect_->uniqueID, effect_->version, static_cast<VstInt32>(parameters));
    at = fxWriteName(at, name);
    for (unsigned long i = 0; i < parameters; ++i)
        at = fxWriteFloat(at, getParameter(static_cast<int>(i)));
    return at;
}

unsigned char* VSTPlugIn::createChunkRecord(bool bank, unsigned long& size) {
    void* chunk = nullptr;
    const VstIntPtr length = dispatch(effGetChunk, bank ? 0 : 1, 0, &chunk);
    // The size field holds 32 bits, with the header counted in.
    if (length < 1 || !chunk || length > INT_MAX - static_cast<VstIntPtr>(kFxBankChunkAt))
        throw DoruvezovException(bank ? "VST could not create chunk for FXB"
                                      : "VST could not create chunk for FXP");
    const unsigned long chunkAt = bank ? kFxBankChunkAt : kFxProgramChunkAt;
    size = chunkAt + static_cast<unsigned long>(length);
    auto* data = new unsigned char[size]();
    unsigned char* at =
        fxWriteHeader(data, bank ? kFxBankChunk : kFxProgramChunk, size, effect_->uniqueID,
                      effect_->version, bank ? getProgramCount() : getParameterCount());
    if (!bank) {
        char name[kFxNameLength + 1];
        getCurrentProgramName(name);
        fxWriteName(at, name);
    }
    fxWrite(data + chunkAt - 4, static_cast<std::int32_t>(length));
    std::memcpy(data + chunkAt, chunk, static_cast<std::size_t>(length));
    return data;
}

unsigned char* VSTPlugIn::createFXP(unsigned long& size) {
    if (hasProgramChunks()) return createChunkRecord(false, size);
    size = kFxProgramValuesAt + 4 * counted(getParameterCount());
    auto* data = new unsigned char[size];
    writeFxCk(data);
    return data;
}

unsigned char* VSTPlugIn::createFXB(unsigned long& size) {
    if (hasProgramChunks()) return createChunkRecord(true, size);
    const unsigned long programs = counted(getProgramCount());
    const unsigned long record = kFxProgramValuesAt + 4 * counted(getParameterCount());
    size = kFxBankRecordsAt + programs * record;
    std::unique_ptr<unsigned char[]> data(new unsigned char[size]());
    fxWriteHeader(data.get(), kFxBankParameters, size, effect_->uniqueID, effect_->version,
                  static_cast<VstInt32>(programs));
    const int current = getCurrentProgram();
    unsigned char* at = data.get() + kFxBankRecordsAt;
    for (unsigned long i = 0; i < programs; ++i) {
        setCurrentProgram(static_cast<int>(i));
        at = writeFxCk(at);
    }
    setCurrentProgram(current);
    return data.release();
}

VstInt32 VSTPlugIn::readHeader(const unsigned char* data, unsigned long size, bool topLevel) {
    std::int32_t fields[6];
    for (unsigned long i = 0; i < 6; ++i) {
        requireBytes(size, 4 * (i + 1), kEndOfFile);
        fields[i] = fxRead(data + 4 * i);
    }
    // The effect version (the sixth field) is not checked. A byte size is read as
    // unsigned: a negative one claims more than any data holds.
    const bool sized = !topLevel || size >= static_cast<std::uint32_t>(fields[1]) + 8ul;
    const std::int32_t version = fields[3];
    const bool versionKnown = version == 1 || (topLevel && version == 2);
    if (fields[0] != kFxChunkMagic || !sized || !versionKnown || !effect_ ||
        fields[4] != effect_->uniqueID)
        throw FormatException(kInvalid);
    return fields[2];
}

const unsigned char* VSTPlugIn::readFxCk(const unsigned char* at, const unsigned char* end,
                                         bool* complete) {
    bool ignored = true;
    if (!complete) complete = &ignored;
    if (!at || end < at) throw EOFException(kEndOfFile);
    const auto available = static_cast<unsigned long>(end - at);
    readHeader(at, available, false);
    requireBytes(available, kFxHeaderSize, kEndOfFile);
    const std::int32_t stored = fxRead(at + kFxCountAt);
    const int parameters = getParameterCount();
    if (stored != parameters) *complete = false;
    requireBytes(available, kFxProgramValuesAt, kEndOfFile);
    char name[kFxNameLength + 1];
    fxReadName(at + kFxNameAt, name);
    setCurrentProgramName(name);

    dispatch(effBeginSetProgram);
    try {
        for (int i = 0; i < parameters; ++i) {
            float value = 0.0f;
            if (i < stored) {
                const unsigned long offset = kFxProgramValuesAt + 4 * static_cast<unsigned long>(i);
                requireBytes(available, offset + 4, kEndOfFile);
                value = fxReadFloat(at + offset);
            }
            // Not a number counts as out of range too: effects are not all ready for one.
            if (!(value >= 0.0f && value <= 1.0f)) {
                *complete = false;
                value = value > 1.0f ? 1.0f : 0.0f;
            }
            setParameter(i, value);
        }
    } catch (...) {
        dispatch(effEndSetProgram);
        throw;
    }
    dispatch(effEndSetProgram);
    const unsigned long next = kFxProgramValuesAt + 4 * counted(stored);
    return at + std::min(next, available);
}

bool VSTPlugIn::loadFXPOrFXB(unsigned long size, const unsigned char* data) {
    if (!data) size = 0;
    const VstInt32 kind = readHeader(data, size, true);
    if (kind == kFxProgramParameters) {
        bool complete = true;
        readFxCk(data, data + size, &complete);
        return complete;
    }
    if (kind == kFxBankParameters) {
        requireBytes(size, kFxHeaderSize, kEndOfFile);
        const std::int32_t stored = fxRead(data + kFxCountAt);
        bool complete = stored == getProgramCount();
        const int programs = std::min(stored, getProgramCount());
        const int remembered = getCurrentProgram();
        const unsigned char* at = data + std::min(kFxBankRecordsAt, size);
        try {
            for (int i = 0; i < programs; ++i) {
                setCurrentProgram(i);
                at = readFxCk(at, data + size, &complete);
            }
        } catch (...) {
            // The programs read stay; the selection is the user's again.
            setCurrentProgram(remembered);
            throw;
        }
        setCurrentProgram(remembered);
        return complete;
    }
    if (kind != kFxProgramChunk && kind != kFxBankChunk) throw FormatException(kInvalid);
    const bool bank = kind == kFxBankChunk;
    const unsigned long chunkAt = bank ? kFxBankChunkAt : kFxProgramChunkAt;
    requireBytes(size, chunkAt, kEndOfFile);
    const std::int32_t length = fxRead(data + chunkAt - 4);
    if (length < 0) throw FormatException(kInvalid);
    requireBytes(size, chunkAt + static_cast<unsigned long>(length),
                 bank ? "Unexpected end of file in FXB data"
                      : "Unexpected end of file in FXP / FXB data");
    if (!bank) {
        // Named only once the chunk is known to be whole, so a short file changes nothing.
        char name[kFxNameLength + 1];
        fxReadName(data + kFxNameAt, name);
        setCurrentProgramName(name);
    }
    return dispatch(effSetChunk, bank ? 0 : 1, length,
                    const_cast<unsigned char*>(data + chunkAt)) != 0;
}
