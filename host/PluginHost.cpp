#include "host/PluginHost.h"

#include "host/DidYouMean.h"
#include "host/HostError.h"
#include "vstbridge/DoruvezovException.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

namespace fs = std::filesystem;

namespace {

// What this host does, for audioMasterCanDo.
constexpr std::array hostFeatures = {
    "sendVstEvents", "sendVstMidiEvent", "sendVstTimeInfo",
    "supplyIdle",    "sizeWindow",       "startStopProcess",
};

constexpr double kTempo = 120; // no song here; a steady tempo for plug-ins that want one

std::string trimmed(const std::string& s) {
    auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool sameText(const std::string& a, const std::string& b) {
    std::string x = trimmed(a), y = trimmed(b);
    return std::equal(x.begin(), x.end(), y.begin(), y.end(), [](char c, char d) {
        return std::tolower(static_cast<unsigned char>(c)) ==
               std::tolower(static_cast<unsigned char>(d));
    });
}

// A display text that is a number, whole, with nothing after it.
std::optional<double> displayedNumber(const std::string& text) {
    const std::string t = trimmed(text);
    double value = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
    return value;
}

// The smallest and largest number among the texts (infinite ends when there is none).
std::pair<double, double> numberRange(const std::vector<std::string>& shown) {
    double low = HUGE_VAL, high = -HUGE_VAL;
    for (const std::string& text : shown)
        if (const auto n = displayedNumber(text)) {
            low = std::min(low, *n);
            high = std::max(high, *n);
        }
    return {low, high};
}

// What a parameter shows: its range of numbers, as it displays them, or its texts in order.
std::string shownRange(const std::vector<std::string>& shown) {
    if (std::all_of(shown.begin(), shown.end(),
                    [](const std::string& s) { return displayedNumber(s).has_value(); })) {
        const auto [low, high] = std::minmax_element(
            shown.begin(), shown.end(), [](const std::string& a, const std::string& b) {
                return *displayedNumber(a) < *displayedNumber(b);
            });
        return trimmed(*low) + " to " + trimmed(*high);
    }
    std::string texts;
    for (std::size_t i = 0; i < shown.size(); ++i)
        if (i == 0 || shown[i] != shown[i - 1])
            texts += (texts.empty() ? "" : ", ") + trimmed(shown[i]);
    return texts.size() > 200 ? texts.substr(0, 200) + "..." : texts;
}

std::optional<long> wholeNumber(const std::string& s) {
    if (s.empty() || s.size() > 9 ||
        !std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); }))
        return std::nullopt;
    return std::stol(s);
}

} // namespace

std::size_t findName(const std::string& kind, const std::string& name,
                     const std::vector<std::string>& names, const std::string& hint) {
    const auto found = std::find_if(names.begin(), names.end(), [&](const std::string& n) {
        // A plug-in without long names leaves them empty; they name nothing.
        return !trimmed(n).empty() && sameText(n, name);
    });
    if (found != names.end()) return static_cast<std::size_t>(found - names.begin());
    std::vector<std::string> shown;
    for (const std::string& n : names)
        if (!trimmed(n).empty()) shown.push_back(trimmed(n));
    throw HostError("unknown " + kind + " '" + name + "'" + didYouMean(name, shown) + hint);
}

namespace {

// The folders every user shares: the installation's own, then the system's.
std::vector<fs::path> sharedFolders() {
    std::vector<fs::path> folders{"/usr/local/lib/vst", "/usr/lib/vst", "/usr/lib/lxvst"};
    const fs::path own = PluginHost::installationFolder();
    if (!own.empty() && std::find(folders.begin(), folders.end(), own) == folders.end())
        folders.insert(folders.begin(), own);
    return folders;
}

} // namespace

std::vector<fs::path> PluginHost::searchPath() {
    std::vector<fs::path> folders;
    for (const char* variable : {"VST_PATH", "LXVST_PATH"}) {
        const char* value = std::getenv(variable);
        for (std::string rest = value ? value : ""; !rest.empty();) {
            const auto colon = rest.find(':');
            if (colon) folders.emplace_back(rest.substr(0, colon));
            rest = colon == std::string::npos ? "" : rest.substr(colon + 1);
        }
    }
    if (const char* home = std::getenv("HOME")) {
        folders.push_back(fs::path(home) / ".vst");
        folders.push_back(fs::path(home) / ".lxvst");
    }
    for (fs::path& folder : sharedFolders())
        if (std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(std::move(folder));
    return folders;
}

fs::path PluginHost::installationFolder() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : (self.parent_path() / ORVELLA_INSTALLED_VST_FOLDER).lexically_normal();
}

namespace {

bool isPlugIn(const fs::path& path) {
    return path.extension() == ".so" || path.extension() == ".vst";
}

// Every plug-in in the search path, a bundle as one, by name and path.
std::vector<std::pair<std::string, fs::path>> installedPlugIns() {
    std::vector<std::pair<std::string, fs::path>> found;
    std::error_code ec;
    for (const fs::path& folder : PluginHost::searchPath()) {
        for (fs::recursive_directory_iterator
                 it(folder, fs::directory_options::skip_permission_denied, ec),
             end;
             !ec && it != end; it.increment(ec)) {
            if (!isPlugIn(it->path())) continue;
            found.emplace_back(it->path().stem().string(), it->path());
            if (it->path().extension() == ".vst") it.disable_recursion_pending();
        }
        ec.clear();
    }
    return found;
}

// The installed plug-ins whose names come close to `name`: a slip, or a part of the name
// ("DragonflyRoomReverb" for DragonflyRoomReverb-vst.so).
std::string closePlugIns(const std::string& name) {
    const auto lower = [](std::string s) {
        for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    std::string close;
    for (const auto& [stem, path] : installedPlugIns())
        if (lower(stem).find(lower(name)) != std::string::npos ||
            lower(name).find(lower(stem)) != std::string::npos || nearestName(name, {stem}))
            close += (close.empty() ? "" : ", ") + ("'" + path.string() + "'");
    return close.empty() ? "" : "; close: " + close;
}

} // namespace

fs::path PluginHost::locate(const fs::path& given) {
    std::error_code ec;
    if (fs::exists(given, ec)) {
        // A folder that is no bundle but holds one plug-in stands for it.
        if (!fs::is_directory(given, ec) || fs::exists(given / "Contents", ec)) return given;
        std::vector<fs::path> plugIns;
        for (const auto& entry : fs::directory_iterator(given, ec))
            if (isPlugIn(entry.path())) plugIns.push_back(entry.path());
        if (plugIns.size() < 2) return plugIns.empty() ? given : plugIns.front();
        std::sort(plugIns.begin(), plugIns.end());
        std::string names;
        for (const fs::path& p : plugIns)
            names += (names.empty() ? "" : ", ") + p.filename().string();
        throw HostError("folder '" + given.string() + "' holds several plug-ins (" + names +
                        "): name one of them");
    }
    // A bare name is looked for where Linux hosts look, folders and their subfolders.
    if (given.has_parent_path() || given.empty())
        throw HostError("plug-in not found: '" + given.string() + "'");
    const std::string name = given.string();
    for (const auto& [stem, path] : installedPlugIns()) {
        const std::string file = path.filename().string();
        if (file == name || file == name + ".so" || file == name + ".vst") return path;
    }
    std::string looked = "VST_PATH, LXVST_PATH, ~/.vst, ~/.lxvst";
    for (const fs::path& folder : sharedFolders()) looked += ", " + folder.string();
    throw HostError("plug-in not found: '" + name + "' (looked in " + looked + ")" +
                    closePlugIns(name));
}

PluginHost::PluginHost(const fs::path& given, double sampleRate, VstInt32 blockSize)
    : given_(given), sampleRate_(sampleRate), blockSize_(blockSize) {
    const fs::path path = locate(given);
    CFBundleRef bundle = CFBundleCreateWithPath(path);
    if (!bundle)
        throw HostError("no plug-in module in bundle '" + path.string() +
                        "' (expected Contents/x86_64-linux/" + path.stem().string() + ".so)");
    module_ = bundle->executablePath();
    plugIn_ = std::make_unique<VSTPlugIn>(*this, bundle, static_cast<float>(sampleRate), blockSize);
    CFRelease(bundle);
    try {
        plugIn_->open();
    } catch (const DoruvezovException& e) {
        const std::string why = bundle->loadError().empty() ? "" : " (" + bundle->loadError() + ")";
        throw HostError("cannot load plug-in '" + module_.string() + "': " + e.what() + why);
    }
    time_.sampleRate = sampleRate_;
    time_.tempo = kTempo;
    time_.timeSigNumerator = 4;
    time_.timeSigDenominator = 4;
    plugIn_->setSampleRate(static_cast<float>(sampleRate_));
    plugIn_->setBlockSize(blockSize_);
}

PluginHost::~PluginHost() {
    suspend();
}

VstIntPtr PluginHost::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt) const {
    return plugIn_->dispatch(opcode, index, value, ptr, opt);
}

void PluginHost::setConnectedPins(int inputs, int outputs) {
    inputsConnected_ = inputs;
    outputsConnected_ = outputs;
}

void PluginHost::resume() {
    if (running_) return;
    plugIn_->resume();
    dispatch(effStartProcess);
    running_ = true;
    time_.flags |= kVstTransportChanged;
}

void PluginHost::suspend() {
    if (!running_) return;
    dispatch(effStopProcess);
    plugIn_->suspend();
    running_ = false;
}

std::string PluginHost::text(VstInt32 opcode) const {
    // Plug-ins overrun the published limits often enough that the buffer is generous.
    char buffer[256] = {};
    dispatch(opcode, 0, 0, buffer);
    buffer[sizeof buffer - 1] = 0;
    return trimmed(buffer);
}

std::string PluginHost::text(TextGetter getter, VstInt32 index) const {
    char buffer[kVstMaxProgNameLen + 1];
    (plugIn_.get()->*getter)(index, buffer);
    return trimmed(buffer);
}

std::string PluginHost::effectName() const {
    return text(effGetEffectName);
}
std::string PluginHost::vendor() const {
    return text(effGetVendorString);
}
std::string PluginHost::product() const {
    return text(effGetProductString);
}
std::string PluginHost::parameterName(VstInt32 i) const {
    return text(&VSTPlugIn::getParameterName, i);
}
std::string PluginHost::parameterLongName(VstInt32 i) const {
    VstParameterProperties properties{};
    if (dispatch(effGetParameterProperties, i, 0, &properties) == 0) return {};
    properties.label[sizeof properties.label - 1] = 0;
    return trimmed(properties.label);
}
std::string PluginHost::parameterDisplay(VstInt32 i) const {
    return text(&VSTPlugIn::getParameterDisplay, i);
}
std::string PluginHost::parameterLabel(VstInt32 i) const {
    return text(&VSTPlugIn::getParameterLabel, i);
}

std::string PluginHost::programName(VstInt32 index) const {
    char buffer[kVstMaxProgNameLen + 1];
    if (plugIn_->getProgramName(index, buffer)) return trimmed(buffer);
    // Without indexed names, the current program's name is all a host can read.
    if (index != plugIn_->getCurrentProgram()) return {};
    plugIn_->getCurrentProgramName(buffer);
    return trimmed(buffer);
}

bool PluginHost::canDo(const char* feature) const {
    return dispatch(effCanDo, 0, 0, const_cast<char*>(feature)) > 0;
}

VstInt32 PluginHost::findParameter(const std::string& nameOrIndex) const {
    std::vector<std::string> names, longNames;
    for (VstInt32 i = 0; i < plugIn_->getParameterCount(); ++i) {
        names.push_back(parameterName(i));
        longNames.push_back(parameterLongName(i));
    }
    return findNamed("parameter", nameOrIndex, {names, longNames});
}

VstInt32 PluginHost::findProgram(const std::string& nameOrIndex) const {
    std::vector<std::string> names;
    for (VstInt32 i = 0; i < plugIn_->getProgramCount(); ++i) names.push_back(programName(i));
    return findNamed("program", nameOrIndex, {names});
}

VstInt32 PluginHost::findNamed(const std::string& kind, const std::string& nameOrIndex,
                               const std::vector<std::vector<std::string>>& namings) const {
    // Every naming in one list: the index of an entry is its position modulo the count.
    const auto count = static_cast<long>(namings.front().size());
    std::vector<std::string> names;
    for (const auto& naming : namings) names.insert(names.end(), naming.begin(), naming.end());
    if (auto n = wholeNumber(nameOrIndex)) {
        if (*n < count) return static_cast<VstInt32>(*n);
        throw HostError(kind + " " + nameOrIndex + " does not exist (the plug-in has " +
                        std::to_string(count) + " " + kind + "s" +
                        (count ? ", 0 to " + std::to_string(count - 1) : "") + ")");
    }
    return static_cast<VstInt32>(
        findName(kind, nameOrIndex, names,
                 " (see: orvella-host info --plugin '" + given_.string() + "')") %
        static_cast<std::size_t>(count));
}

void PluginHost::setProgram(VstInt32 program) {
    dispatch(effBeginSetProgram);
    plugIn_->setCurrentProgram(program);
    dispatch(effEndSetProgram);
}

std::vector<std::string> PluginHost::displays(VstInt32 index) {
    const float before = plugIn_->getParameter(index);
    std::vector<std::string> shown;
    for (int step = 0; step <= kDisplaySteps; ++step) {
        plugIn_->setParameter(index, static_cast<float>(step) / kDisplaySteps);
        shown.push_back(parameterDisplay(index));
    }
    plugIn_->setParameter(index, before);
    return shown;
}

std::string PluginHost::shownValues(VstInt32 index) {
    return shownRange(displays(index));
}

void PluginHost::setParameterToDisplay(VstInt32 index, const std::string& wanted) {
    constexpr int kSteps = kDisplaySteps;
    const std::vector<std::string> shown = displays(index);
    // The text itself, else, for a number, the displayed number nearest to it.
    auto at = std::find_if(shown.begin(), shown.end(),
                           [&wanted](const std::string& s) { return sameText(s, wanted); });
    const auto number = displayedNumber(wanted);
    const auto [low, high] = numberRange(shown);
    const double slack = (high - low) / 100;
    if (at == shown.end() && number && *number >= low - slack && *number <= high + slack)
        at = std::min_element(shown.begin(), shown.end(), [&](const auto& a, const auto& b) {
            const auto x = displayedNumber(a), y = displayedNumber(b);
            return x && (!y || std::abs(*x - *number) < std::abs(*y - *number));
        });
    if (at == shown.end())
        throw HostError("parameter '" + parameterName(index) + "' has no value shown as '" +
                        wanted + "' (it shows " + shownRange(shown) + ")");
    // The middle of the host values that show that text, away from the rounding at its
    // edges, which are found more finely than the grid.
    const std::string target = *at;
    const auto first = static_cast<int>(at - shown.begin());
    int last = first;
    while (last < kSteps && shown[static_cast<std::size_t>(last + 1)] == target) ++last;
    const auto edge = [&](double outside, double inside) {
        for (int i = 0; i < 24; ++i) {
            const double middle = (outside + inside) / 2;
            plugIn_->setParameter(index, static_cast<float>(middle));
            (parameterDisplay(index) == target ? inside : outside) = middle;
        }
        return inside;
    };
    const double lo = first == 0 ? 0.0 : edge((first - 1.0) / kSteps, double(first) / kSteps);
    const double hi = last == kSteps ? 1.0 : edge((last + 1.0) / kSteps, double(last) / kSteps);
    plugIn_->setParameter(index, static_cast<float>((lo + hi) / 2));
}

VstTimeInfo* PluginHost::getTimeInfo(VSTPlugIn&, int mask) {
    const double seconds = time_.samplePos / sampleRate_;
    time_.ppqPos = seconds * kTempo / 60;
    time_.barStartPos = std::floor(time_.ppqPos / 4) * 4;
    time_.flags = (time_.flags & kVstTransportChanged) | kVstTransportPlaying | kVstPpqPosValid |
                  kVstTempoValid | kVstBarsValid | kVstTimeSigValid;
    if (mask & kVstNanosValid) {
        time_.nanoSeconds =
            static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                    std::chrono::steady_clock::now().time_since_epoch())
                                    .count());
        time_.flags |= kVstNanosValid;
    }
    return &time_;
}

void PluginHost::getVendor(VSTPlugIn&, char* text) {
    std::strcpy(text, "Orvella");
}

void PluginHost::getProduct(VSTPlugIn&, char* text) {
    std::strcpy(text, "orvella-host");
}

int PluginHost::getVersion(VSTPlugIn&) {
    return ORVELLA_HOST_VERSION;
}

bool PluginHost::canDo(VSTPlugIn&, const char* what) {
    return std::any_of(hostFeatures.begin(), hostFeatures.end(),
                       [what](const char* f) { return std::strcmp(f, what) == 0; });
}

void PluginHost::automate(VSTPlugIn&, int parameter, float value) {
    if (onAutomate) onAutomate(parameter, value);
}

bool PluginHost::isIOPinConnected(VSTPlugIn&, bool output, int pin) {
    return pin < (output ? outputsConnected_ : inputsConnected_);
}

void PluginHost::resizeWindow(VSTPlugIn&, int width, int height) {
    if (onSizeWindow) onSizeWindow(width, height);
}

// Edits are printed from automate; the editor is idled from the window loop anyway, and
// names and displays are read when printed.
void PluginHost::beginEdit(VSTPlugIn&, int) {}
void PluginHost::endEdit(VSTPlugIn&, int) {}
void PluginHost::idle(VSTPlugIn&) {}
void PluginHost::updateDisplay(VSTPlugIn&) {}
