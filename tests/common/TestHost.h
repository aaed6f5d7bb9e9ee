// A minimal VST 2.4 host for tests: loads a plug-in module with dlopen, builds effects
// through VSTPluginMain and records every callback its own effects make. Several hosts may
// live at once; each answers only for the effects it built.
#pragma once

#include "plugin/VstInterface.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

struct HostCall {
    AEffect* effect;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
    std::string text; // ptr as a C string, for opcodes that carry one
};

class TestHost {
public:
    explicit TestHost(const std::string& modulePath);
    ~TestHost(); // closes every effect still open, then unloads the module
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    bool loaded() const { return module != nullptr; }
    void* symbol(const char* name) const;

    // Calls the entry point; null when the plug-in refuses.
    AEffect* instantiate();
    // effClose through the record; the effect is gone afterwards.
    VstIntPtr close(AEffect* effect);

    static VstIntPtr dispatch(AEffect* e, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                              void* ptr = nullptr, float opt = 0);

    std::vector<HostCall> callsWith(VstInt32 opcode) const;
    std::vector<HostCall> allCalls() const;
    void clearCalls();

    // What the host answers; the default answers like a stereo 44.1 kHz host.
    std::function<VstIntPtr(const HostCall&)> answer;
    static VstIntPtr defaultAnswer(const HostCall& call);

private:
    static VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                              void* ptr, float opt);

    void* module = nullptr;
    std::vector<AEffect*> open;
    mutable std::mutex mutex;
    std::vector<HostCall> calls;
};

// The path of a module built beside the tests, from the build folder the tests run in.
std::string builtModule(const char* relativePath);
