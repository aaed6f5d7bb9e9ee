// A VST 2.4 effect loaded from a bundle and driven as its host: loading through the
// entry point, a named operation for every dispatcher call the adapter makes, the host
// callback answered through a VSTHost, and the effect's state as FXP and FXB preset data.
// Loading failures throw DoruvezovException; an exception thrown by the effect inside a
// dispatcher call never leaves these operations (the call counts as answering 0).
// The owner serialises calls: processing from its audio thread, the rest from its main
// thread, as the tags say.
#pragma once

#include "audiounit/platform/CFBundle.h"
#include "plugin/VstInterface.h"
#include "vstbridge/VSTHost.h"

class VSTPlugIn {
public:
    // [main thread] Keeps a reference to the bundle; nothing is loaded yet.
    VSTPlugIn(VSTHost& host, CFBundleRef bundle, float samplingRate, int blockSize);
    // [main thread] Closes the editor and the effect; unloads the bundle's executable
    // when this held its last other reference.
    virtual ~VSTPlugIn();
    VSTPlugIn(const VSTPlugIn&) = delete;
    VSTPlugIn& operator=(const VSTPlugIn&) = delete;

    // [main thread] Loads the executable, calls its entry point (VSTPluginMain, else
    // main) and opens the effect. Throws DoruvezovException; loads of two effects must
    // not overlap on one thread.
    void open();

    // [any thread] Facts of the effect record (0 / false before open).
    bool isOpen() const { return open_; }
    bool isResumed() const { return resumed_; }
    bool isEditorOpen() const { return editorOpen_; }
    AEffect* getEffect() const { return effect_; }
    int getProgramCount() const;
    int getParameterCount() const;
    int getInputCount() const;
    int getOutputCount() const;
    int getInitialDelay() const;
    bool hasEditor() const;
    bool canProcessReplacing() const;
    bool hasProgramChunks() const;
    bool dontProcessSilence() const;

    // [main thread] Calls the dispatcher with the arguments unchanged.
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0);
    // [main thread] Stored, and passed on once the effect is open.
    void setSampleRate(float rate);
    void setBlockSize(int size);
    // [main thread] effMainsChanged on / off.
    void resume();
    void suspend();
    // [main thread] Programs. Names are at most 24 characters; buffers take 25.
    void setCurrentProgram(int program);
    int getCurrentProgram(); // at most the program count
    void getCurrentProgramName(char* name);
    void setCurrentProgramName(const char* name);
    bool getProgramName(int program, char* name); // false, name untouched, when refused
    // [main thread] Parameter texts, at most 24 characters; buffers take 25.
    void getParameterName(int parameter, char* text);
    void getParameterDisplay(int parameter, char* text);
    void getParameterLabel(int parameter, char* text);
    bool setParameterFromString(int parameter, const char* text);
    // [main thread] Whether the effect takes MIDI events.
    bool wantsMidi();
    // [audio thread] Events for the next processing call.
    void processEvents(const VstEvents& events);
    // [main thread]
    VstIntPtr vendorSpecific(int index, long long value, void* ptr, float opt);
    bool setBypass(bool bypass);
    bool getInputProperties(int pin, VstPinProperties& properties);
    bool getOutputProperties(int pin, VstPinProperties& properties);
    void connectInputPin(int pin, bool connected);
    void connectOutputPin(int pin, bool connected);
    int getTailSize();
    int getVersion();
    // [main thread] effIdle, and effEditIdle while the editor is open.
    void idle();
    // [main thread] The editor's size; 0 by 0 when it gives none.
    void getEditorDimensions(int& width, int& height);
    // [main thread] Opens the editor inside the parent window (an X11 window id); throws
    // DoruvezovException when the effect refuses.
    void openEditor(void* parent);
    void closeEditor();

    // [any thread, as the effect allows] Parameter values, straight through the record.
    float getParameter(int parameter);
    void setParameter(int parameter, float value);
    // [audio thread] Processing, straight through the record.
    void processReplacing(const float* const* in, float* const* out, int frames);
    void processAccumulating(const float* const* in, float* const* out, int frames);

    // [main thread] The current program, or the whole bank, as FXP / FXB data in the
    // chunk form when the effect has program chunks, else the parameter form. The caller
    // releases the array with delete[]. Throws DoruvezovException when the effect gives
    // no chunk.
    unsigned char* createFXP(unsigned long& size);
    unsigned char* createFXB(unsigned long& size);
    // [main thread] Applies FXP or FXB data; false when it did not fit completely (other
    // counts, values out of range, the effect refusing a chunk). Throws EOFException for
    // short data and FormatException for foreign data; a bank's programs read before the
    // failure stay applied.
    bool loadFXPOrFXB(unsigned long size, const unsigned char* data);
    // [main thread] One "FxCk" program record of the current program, 56 + 4 × parameter
    // count bytes at `at`; answers the end of what was written.
    unsigned char* writeFxCk(unsigned char* at);
    // [main thread] Applies one "FxCk" record read from [at, end); clears *complete when it
    // does not fit. Answers where the next record starts (at most end).
    const unsigned char* readFxCk(const unsigned char* at, const unsigned char* end,
                                  bool* complete);

private:
    static VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                  void* ptr, float opt);
    VstIntPtr callback(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    void getText(VstInt32 opcode, int index, char* text);
    unsigned char* createChunkRecord(bool bank, unsigned long& size);
    VstInt32 readHeader(const unsigned char* data, unsigned long size, bool topLevel);

    VSTHost& host_;
    CFBundleRef bundle_;
    AEffect* effect_ = nullptr;
    bool open_ = false;
    bool resumed_ = false;
    bool wantsMidi_ = false;
    bool editorOpen_ = false;
    float samplingRate_;
    int blockSize_;

    // The object whose effect is being created, for calls before the record knows it.
    static thread_local VSTPlugIn* loading_;
};
