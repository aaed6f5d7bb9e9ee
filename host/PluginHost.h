// One plug-in instance, loaded from its shared object through its entry point, and the
// host's side of its callback. Everything here runs on the tool's one thread, which is
// the host's main thread and, during rendering, its audio thread as well.
#pragma once

#include "plugin/VstInterface.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

class PluginHost final {
public:
    // [main thread] Loads the module (a shared object or a bundle folder), builds the effect
    // and opens it: effOpen, effSetSampleRate, effSetBlockSize. Throws HostError naming
    // what is wrong with the path.
    PluginHost(const std::filesystem::path& path, double sampleRate, VstInt32 blockSize);
    // [main thread] Suspends a running effect, closes it and unloads the module.
    ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // The module inside a bundle folder, or the path itself when it names a file.
    static std::filesystem::path resolveModule(const std::filesystem::path& path);

    AEffect& effect() const { return *effect_; }
    const std::filesystem::path& modulePath() const { return module_; }
    double sampleRate() const { return sampleRate_; }
    VstInt32 blockSize() const { return blockSize_; }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0) const;

    // [main thread] What audioMasterPinConnected answers: pins below these counts are
    // connected.
    void setConnectedPins(int inputs, int outputs);
    // [main thread] effMainsChanged 1 then effStartProcess; suspend undoes both.
    void resume();
    void suspend();
    // [audio thread] Where the next block starts, as audioMasterGetTime reports it, and
    // whether the host renders offline (audioMasterGetCurrentProcessLevel).
    void setSamplePosition(double samples) {
        time_.samplePos = samples;
        if (samples > 0) time_.flags &= ~kVstTransportChanged;
    }
    void setOffline(bool offline) { offline_ = offline; }

    // [main thread] The plug-in's texts; empty when it gives none.
    std::string effectName() const;
    std::string vendor() const;
    std::string product() const;
    std::string parameterName(VstInt32 index) const;
    std::string parameterDisplay(VstInt32 index) const;
    std::string parameterLabel(VstInt32 index) const;
    std::string programName(VstInt32 index) const;
    bool canDo(const char* feature) const;

    // [main thread] A parameter or program given by number or by name; throws HostError
    // naming the unknown one.
    VstInt32 findParameter(const std::string& nameOrIndex) const;
    VstInt32 findProgram(const std::string& nameOrIndex) const;
    // [main thread] Selects a program the way hosts do, between effBegin/EndSetProgram.
    void setProgram(VstInt32 program);
    // [main thread] Sets the parameter to the host value whose display text is `text`
    // (found by trying host values); false, leaving the value alone, when none shows it.
    bool setParameterToDisplay(VstInt32 index, const std::string& text);

    // [ui thread] Called for each audioMasterAutomate and audioMasterSizeWindow.
    std::function<void(VstInt32 index, float value)> onAutomate;
    std::function<bool(int width, int height)> onSizeWindow;

private:
    static VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                              void* ptr, float opt);
    VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    std::string text(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0) const;
    VstTimeInfo* timeInfo(VstIntPtr mask);

    std::filesystem::path module_;
    void* library_ = nullptr;
    AEffect* effect_ = nullptr;
    double sampleRate_;
    VstInt32 blockSize_;
    int inputsConnected_ = 2;
    int outputsConnected_ = 2;
    bool running_ = false;
    bool offline_ = false;
    VstTimeInfo time_{};
    std::string directory_;
};
