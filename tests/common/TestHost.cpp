#include "tests/common/TestHost.h"

#include <algorithm>
#include <cstdlib>
#include <dlfcn.h>
#include <map>

namespace {
// Each effect's callbacks go to the host that built it; during construction the effect is
// not known yet, and the host building one on this thread takes them.
std::mutex ownersMutex;
std::map<const AEffect*, TestHost*> owners;
thread_local TestHost* constructing = nullptr;

TestHost* ownerOf(const AEffect* effect) {
    std::lock_guard lock(ownersMutex);
    const auto it = owners.find(effect);
    return it != owners.end() ? it->second : constructing;
}

bool carriesText(VstInt32 opcode) {
    return opcode == audioMasterCanDo || opcode == audioMasterVendorSpecific;
}
} // namespace

TestHost::TestHost(const std::string& modulePath)
    : answer(defaultAnswer), module(dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL)) {}

TestHost::~TestHost() {
    for (AEffect* e : std::vector<AEffect*>(open)) close(e);
    if (module) dlclose(module);
}

void* TestHost::symbol(const char* name) const {
    return module ? dlsym(module, name) : nullptr;
}

AEffect* TestHost::instantiate() {
    using Entry = AEffect* (*)(audioMasterCallback);
    auto entry = reinterpret_cast<Entry>(symbol("VSTPluginMain"));
    if (!entry) return nullptr;
    constructing = this;
    AEffect* effect = entry(callback);
    constructing = nullptr;
    if (effect) {
        open.push_back(effect);
        std::lock_guard lock(ownersMutex);
        owners[effect] = this;
    }
    return effect;
}

VstIntPtr TestHost::close(AEffect* effect) {
    open.erase(std::remove(open.begin(), open.end(), effect), open.end());
    const VstIntPtr result = effect->dispatcher(effect, effClose, 0, 0, nullptr, 0);
    std::lock_guard lock(ownersMutex);
    owners.erase(effect);
    return result;
}

VstIntPtr TestHost::dispatch(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                             void* ptr, float opt) {
    return e->dispatcher(e, opcode, index, value, ptr, opt);
}

std::vector<HostCall> TestHost::callsWith(VstInt32 opcode) const {
    std::lock_guard lock(mutex);
    std::vector<HostCall> found;
    for (const HostCall& c : calls)
        if (c.opcode == opcode) found.push_back(c);
    return found;
}

std::vector<HostCall> TestHost::allCalls() const {
    std::lock_guard lock(mutex);
    return calls;
}

void TestHost::clearCalls() {
    std::lock_guard lock(mutex);
    calls.clear();
}

VstIntPtr TestHost::defaultAnswer(const HostCall& call) {
    switch (call.opcode) {
    case audioMasterVersion:
        return kVstVersion;
    case audioMasterGetSampleRate:
        return 44100;
    case audioMasterGetBlockSize:
        return 512;
    default:
        return 0;
    }
}

VstIntPtr TestHost::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                             void* ptr, float opt) {
    TestHost* host = ownerOf(effect);
    if (!host) return opcode == audioMasterVersion ? kVstVersion : 0;
    HostCall call{effect, opcode, index, value, opt, {}};
    if (ptr && carriesText(opcode)) call.text = static_cast<const char*>(ptr);
    {
        std::lock_guard lock(host->mutex);
        host->calls.push_back(call);
    }
    return host->answer(call);
}

std::string builtModule(const char* relativePath) {
    const char* dir = std::getenv("ORVELLA_BUILD_DIR");
    return std::string(dir ? dir : ".") + "/" + relativePath;
}
