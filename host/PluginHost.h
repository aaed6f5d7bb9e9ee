// One plug-in instance, loaded through the bridge every part of the project uses, and
// the tool's side of its callback. Everything here runs on the tool's one thread, which
// is the host's main thread and, during rendering, its audio thread as well.
#pragma once

#include "vstbridge/VSTPlugIn.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class PluginHost final : public VSTHost {
public:
    // [main thread] Loads the module (see locate), builds the effect and opens it: effOpen,
    // effSetSampleRate, effSetBlockSize. Throws HostError naming what is wrong with the path.
    PluginHost(const std::filesystem::path& path, double sampleRate, VstInt32 blockSize);
    // [main thread] Suspends a running effect, closes it and unloads the module.
    ~PluginHost() override;
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // [main thread] The plug-in a path names: a shared object, a bundle folder, a folder
    // holding one plug-in, or a bare name (with or without .so or .vst) found in the
    // search path, in order. Throws HostError when there is none.
    static std::filesystem::path locate(const std::filesystem::path& path);
    // Where Linux hosts look for plug-ins: VST_PATH, LXVST_PATH, ~/.vst, ~/.lxvst, then
    // the installation's folder, /usr/local/lib/vst, /usr/lib/vst, /usr/lib/lxvst.
    static std::vector<std::filesystem::path> searchPath();
    // The VST folder of the installation this program belongs to (prefix/lib/vst beside
    // prefix/bin), wherever it was installed or copied as a whole; empty if unknown.
    static std::filesystem::path installationFolder();

    VSTPlugIn& plugIn() const { return *plugIn_; }
    const AEffect& effect() const { return *plugIn_->getEffect(); }
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
    // [audio thread] Where the next block starts, as audioMasterGetTime reports it.
    void setSamplePosition(double samples) {
        time_.samplePos = samples;
        if (samples > 0) time_.flags &= ~kVstTransportChanged;
    }

    // [main thread] The plug-in's texts; empty when it gives none.
    std::string effectName() const;
    std::string vendor() const;
    std::string product() const;
    std::string parameterName(VstInt32 index) const;
    // The long name from effGetParameterProperties, when the plug-in answers it with one.
    std::string parameterLongName(VstInt32 index) const;
    std::string parameterDisplay(VstInt32 index) const;
    std::string parameterLabel(VstInt32 index) const;
    std::string programName(VstInt32 index) const;
    bool canDo(const char* feature) const;

    // [main thread] A parameter or program given by number or by name (a parameter by its
    // short or long name); throws HostError naming the unknown one.
    VstInt32 findParameter(const std::string& nameOrIndex) const;
    VstInt32 findProgram(const std::string& nameOrIndex) const;
    // [main thread] Selects a program the way hosts do, between effBegin/EndSetProgram.
    void setProgram(VstInt32 program);
    // [main thread] Sets the parameter to the host value whose display text is `text`, or,
    // for a number, whose displayed number is nearest to it within the displayed range
    // (found by trying host values). Throws HostError, leaving the value alone, saying
    // what the parameter shows, when none fits.
    void setParameterToDisplay(VstInt32 index, const std::string& text);
    // [main thread] What the parameter shows over its host values: "1 to 10" for numbers,
    // else its texts in order ("In A, Out A, In B"). The value is left as it was.
    std::string shownValues(VstInt32 index);

    // [main thread] Called for each audioMasterAutomate and audioMasterSizeWindow.
    std::function<void(VstInt32 index, float value)> onAutomate;
    std::function<void(int width, int height)> onSizeWindow;

    // VSTHost: the effect's questions, answered as a host playing at a steady 120 bpm.
    void getVendor(VSTPlugIn& plugIn, char* text) override;
    void getProduct(VSTPlugIn& plugIn, char* text) override;
    int getVersion(VSTPlugIn& plugIn) override;
    bool canDo(VSTPlugIn& plugIn, const char* what) override;
    VstTimeInfo* getTimeInfo(VSTPlugIn& plugIn, int flags) override;
    void beginEdit(VSTPlugIn& plugIn, int parameter) override;
    void automate(VSTPlugIn& plugIn, int parameter, float value) override;
    void endEdit(VSTPlugIn& plugIn, int parameter) override;
    bool isIOPinConnected(VSTPlugIn& plugIn, bool output, int pin) override;
    void idle(VSTPlugIn& plugIn) override;
    void updateDisplay(VSTPlugIn& plugIn) override;
    void resizeWindow(VSTPlugIn& plugIn, int width, int height) override;

private:
    using TextGetter = void (VSTPlugIn::*)(int, char*);
    std::string text(VstInt32 opcode) const;
    std::string text(TextGetter getter, VstInt32 index) const;
    // The parameter's display text at a fine grid of host values, the value left as it was.
    static constexpr int kDisplaySteps = 1000;
    std::vector<std::string> displays(VstInt32 index);

    // The index of the name, or the number, among the names of a kind (parameter,
    // program), each given in one or more lists of the same length (short and long names);
    // throws HostError with a did-you-mean for a near miss and where to look.
    VstInt32 findNamed(const std::string& kind, const std::string& nameOrIndex,
                       const std::vector<std::vector<std::string>>& namings) const;

    std::unique_ptr<VSTPlugIn> plugIn_;
    std::filesystem::path given_;
    std::filesystem::path module_;
    double sampleRate_;
    VstInt32 blockSize_;
    int inputsConnected_ = 2;
    int outputsConnected_ = 2;
    bool running_ = false;
    VstTimeInfo time_{};
};

// [main thread] The position of `name` among `names`, ignoring case and outer spaces (empty
// names match nothing); throws HostError "unknown KIND 'NAME'", with a did-you-mean for a
// near miss, followed by `hint`.
std::size_t findName(const std::string& kind, const std::string& name,
                     const std::vector<std::string>& names, const std::string& hint);
