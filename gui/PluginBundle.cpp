#include "gui/PluginBundle.h"

#include "gui/platform/InfoDictionary.h"

#include <cstdio>
#include <dlfcn.h>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {

struct BundleReference {
    std::string root;
    int references = 0;
    std::string resourceOverride;
};

BundleReference& bundle() {
    static BundleReference instance;
    return instance;
}

std::vector<GUI::EmbeddedResource>& embedded() {
    static std::vector<GUI::EmbeddedResource> resources;
    return resources;
}

} // namespace

namespace GUI {

bool bundleRootFromModulePath(const std::string& modulePath, std::string& root) {
    std::string path = modulePath;
    for (int cut = 0; cut < 3; ++cut) {
        const auto slash = path.rfind('/');
        if (slash == std::string::npos) return false;
        path.erase(slash);
    }
    root = path;
    return true;
}

const std::string& getBundlePath() {
    return bundle().root;
}

std::string getResourceFolder() {
    const BundleReference& b = bundle();
    if (!b.resourceOverride.empty()) return b.resourceOverride;
    if (b.root.empty()) return {};
    return b.root + "/Contents/Resources";
}

std::string getInfoString(const std::string& key) {
    const std::string folder = getResourceFolder();
    const std::string path = folder + "/../Info.plist";
    if (!folder.empty() && std::filesystem::exists(path))
        return platform::readInfoString(path, key);
    const EmbeddedResource* builtIn = findEmbeddedResource("Info.plist");
    return builtIn ? platform::readInfoString(reinterpret_cast<const char*>(builtIn->data),
                                              builtIn->size, key)
                   : std::string();
}

void setResourceFolderOverride(const std::string& folder) {
    bundle().resourceOverride = folder;
}

void addEmbeddedResources(const EmbeddedResource* table, std::size_t count) {
    embedded().insert(embedded().end(), table, table + count);
}

const EmbeddedResource* findEmbeddedResource(const std::string& name) {
    for (const EmbeddedResource& r : embedded())
        if (name == r.name) return &r;
    return nullptr;
}

} // namespace GUI

void InitMachOLibrary() {
    Dl_info info{};
    std::string root;
    std::string module;
    if (dladdr(reinterpret_cast<void*>(&InitMachOLibrary), &info) != 0 && info.dli_fname) {
        // A module loaded by a relative path must not move when the working folder does.
        std::error_code error;
        const auto absolute = std::filesystem::absolute(info.dli_fname, error);
        module = error ? info.dli_fname : absolute.lexically_normal().string();
    }
    const bool found = GUI::bundleRootFromModulePath(module, root);
    if (!found) {
        std::fputs("Could not determine bundle location.\n", stdout);
        return;
    }
    bundle().root = root;
    ++bundle().references;
}

void ExitMachOLibrary() {
    BundleReference& b = bundle();
    if (b.references == 0) return;
    if (--b.references == 0) b.root.clear();
}
