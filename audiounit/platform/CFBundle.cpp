#include "audiounit/platform/CFBundle.h"

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fstream>
#include <iterator>
#include <link.h>
#include <memory>
#include <plist/plist.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Info.plist's CFBundleExecutable, or empty when the file or the key is missing.
std::string executableName(const fs::path& infoPlist) {
    std::ifstream in(infoPlist, std::ios::binary);
    const std::string xml{std::istreambuf_iterator<char>(in), {}};
    plist_t root = nullptr;
    if (!xml.empty()) plist_from_xml(xml.data(), static_cast<std::uint32_t>(xml.size()), &root);
    std::unique_ptr<void, decltype(&plist_free)> owner(root, plist_free);
    const plist_t item = root && plist_get_node_type(root) == PLIST_DICT
                             ? plist_dict_get_item(root, "CFBundleExecutable")
                             : nullptr;
    if (!item || plist_get_node_type(item) != PLIST_STRING) return {};
    char* value = nullptr;
    plist_get_string_val(item, &value);
    std::string name = value ? value : "";
    std::free(value);
    // A name, never a way out of the bundle's executable folder.
    return name.find('/') == std::string::npos && name != "." && name != ".." ? name : "";
}

fs::path executableInBundle(const fs::path& bundle) {
    const fs::path folder = bundle / "Contents" / "x86_64-linux";
    std::error_code ec;
    const std::string named = executableName(bundle / "Contents" / "Info.plist");
    if (!named.empty())
        return fs::is_regular_file(folder / named, ec) ? folder / named : fs::path();
    // Linux bundles often come without an information dictionary.
    const fs::path guessed = folder / (bundle.stem().string() + ".so");
    if (fs::is_regular_file(guessed, ec)) return guessed;
    std::vector<fs::path> modules;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (entry.path().extension() == ".so") modules.push_back(entry.path());
    return modules.size() == 1 ? modules.front() : fs::path();
}

} // namespace

CFBundle::CFBundle(fs::path bundle, fs::path executable, bool mainProgram)
    : bundle_(std::move(bundle)), executable_(std::move(executable)), mainProgram_(mainProgram) {}

CFBundle::~CFBundle() {
    unload();
}

bool CFBundle::load() {
    if (handle_) return true;
    dlerror();
    handle_ = dlopen(mainProgram_ ? nullptr : executable_.c_str(), RTLD_NOW | RTLD_LOCAL);
    const char* why = handle_ ? nullptr : dlerror();
    loadError_ = why ? why : "";
    return handle_ != nullptr;
}

void CFBundle::unload() {
    if (handle_ && !mainProgram_) dlclose(handle_);
    handle_ = nullptr;
}

void* CFBundle::symbol(const char* name) const {
    void* found = handle_ && name ? dlsym(handle_, name) : nullptr;
    if (!found || mainProgram_) return found;
    // dlsym also searches the libraries the executable depends on.
    Dl_info info{};
    link_map* map = nullptr;
    if (!dladdr(found, &info) || dlinfo(handle_, RTLD_DI_LINKMAP, &map) != 0 || !map)
        return nullptr;
    return info.dli_fname && std::strcmp(info.dli_fname, map->l_name) == 0 ? found : nullptr;
}

CFBundleRef CFBundleCreateWithPath(const fs::path& path) {
    std::error_code ec;
    // The loader looks a bare file name up on the library path, not in the current folder.
    const fs::path absolute = fs::absolute(path, ec).lexically_normal();
    if (ec || !fs::exists(absolute, ec)) return nullptr;
    if (!fs::is_directory(absolute, ec)) {
        const fs::path folder = absolute.parent_path();
        const bool inBundle =
            folder.filename() == "x86_64-linux" && folder.parent_path().filename() == "Contents";
        return new CFBundle(inBundle ? folder.parent_path().parent_path() : folder, absolute,
                            false);
    }
    const fs::path bundle = absolute.filename().empty() ? absolute.parent_path() : absolute;
    const fs::path executable = executableInBundle(bundle);
    return executable.empty() ? nullptr : new CFBundle(bundle, executable, false);
}

CFBundleRef CFBundleGetMainBundle() {
    // Held for the life of the process, as the program itself is.
    static CFBundle* const main = [] {
        std::error_code ec;
        const fs::path self = fs::read_symlink("/proc/self/exe", ec);
        return new CFBundle(self.parent_path(), self, true);
    }();
    return main;
}

bool CFBundleLoadExecutable(CFBundleRef bundle) {
    return bundle && bundle->load();
}

bool CFBundleIsExecutableLoaded(CFBundleRef bundle) {
    return bundle && bundle->isLoaded();
}

void CFBundleUnloadExecutable(CFBundleRef bundle) {
    if (bundle) bundle->unload();
}

void* CFBundleGetFunctionPointerForName(CFBundleRef bundle, const char* name) {
    return CFBundleLoadExecutable(bundle) ? bundle->symbol(name) : nullptr;
}
