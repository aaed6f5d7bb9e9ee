#pragma once

#include "audiounit/platform/CFBase.h"

#include <filesystem>
#include <string>

// A bundle: a folder laid out as Linux plug-in hosts expect it
// (Contents/Info.plist, Contents/x86_64-linux/<CFBundleExecutable>), or a bare shared
// object standing for a bundle of its own. Its executable is loaded on demand and
// unloaded when the last reference goes or on CFBundleUnloadExecutable.
class CFBundle final : public CFObject {
public:
    // [main thread] Use CFBundleCreateWithPath / CFBundleGetMainBundle.
    CFBundle(std::filesystem::path bundle, std::filesystem::path executable, bool mainProgram);
    ~CFBundle() override;
    CFBundle(const CFBundle&) = delete;
    CFBundle& operator=(const CFBundle&) = delete;

    const std::filesystem::path& bundlePath() const { return bundle_; }
    const std::filesystem::path& executablePath() const { return executable_; }
    // Why the last load failed, as the dynamic loader said it; empty after a success.
    const std::string& loadError() const { return loadError_; }

    // [main thread] See the CFBundle functions below.
    bool load();
    void unload();
    bool isLoaded() const { return handle_ != nullptr; }
    void* symbol(const char* name) const;

private:
    std::filesystem::path bundle_;
    std::filesystem::path executable_;
    bool mainProgram_;
    void* handle_ = nullptr;
    std::string loadError_;
};

using CFBundleRef = CFBundle*;

// [main thread] A bundle from a bundle folder (its executable named by Info.plist's
// CFBundleExecutable; without one, the folder's name with ".so", or its only shared
// object) or from the path of a shared object. Null when the folder holds no executable
// or the path does not exist. The caller owns the one reference (CFRelease).
CFBundleRef CFBundleCreateWithPath(const std::filesystem::path& path);
// [main thread] The running program itself, as a bundle whose functions are the
// program's exported ones. Not owned by the caller; never unloaded.
CFBundleRef CFBundleGetMainBundle();

// [main thread] Loads the executable (once); false when the loader refuses it.
bool CFBundleLoadExecutable(CFBundleRef bundle);
bool CFBundleIsExecutableLoaded(CFBundleRef bundle);
// [main thread] Unloads the executable; its functions must not be called afterwards.
void CFBundleUnloadExecutable(CFBundleRef bundle);
// [main thread] A function the executable itself defines (not one of the libraries it
// uses), or null; loads the executable first.
void* CFBundleGetFunctionPointerForName(CFBundleRef bundle, const char* name);
