#include "host/PresetFile.h"

#include "host/HostError.h"
#include "vstbridge/DoruvezovException.h"
#include "vstbridge/FxRecord.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// Larger than any plug-in's state; a bigger file is something else.
constexpr std::uintmax_t kLargestPreset = 256u << 20;

// The record's fields in order, each checked against the end of the data.
class Fields {
public:
    explicit Fields(const PresetData& data) : data_(data) {}
    void skip(std::size_t bytes) {
        need(bytes);
        at_ += bytes;
    }
    std::int32_t number() {
        need(4);
        at_ += 4;
        return fxRead(&data_[at_ - 4]);
    }
    std::string name() {
        need(kFxNameField);
        char text[kFxNameLength + 1];
        fxReadName(&data_[at_], text);
        at_ += kFxNameField;
        return text;
    }

private:
    void need(std::size_t bytes) const {
        if (data_.size() - at_ < bytes)
            throw HostError("it is cut short: it ends after " + std::to_string(data_.size()) +
                            " bytes, inside a record");
    }
    const PresetData& data_;
    std::size_t at_ = 0;
};

struct Header {
    std::int32_t kind, version, id, effectVersion, count;
};

constexpr const char* kNotPreset = "it is no FXP or FXB preset (its header is not one)";

Header header(Fields& fields) {
    if (fields.number() != kFxChunkMagic) throw HostError(kNotPreset);
    fields.skip(4); // the byte size: the fields are checked one by one
    Header h{};
    h.kind = fields.number();
    h.version = fields.number();
    h.id = fields.number();
    h.effectVersion = fields.number();
    h.count = fields.number();
    return h;
}

// A program of the parameter form, after its header: name and values, eight a line.
void describeProgram(Fields& fields, std::int32_t count, std::ostream& out) {
    out << "  \"" << fields.name() << "\", " << count << " parameters";
    for (std::int32_t i = 0; i < count; ++i) {
        char value[16];
        std::snprintf(value, sizeof value, "%.4f",
                      static_cast<double>(std::bit_cast<float>(fields.number())));
        out << (i % 8 ? " " : "\n    ") << value;
    }
    out << "\n";
}

bool isBank(const PresetData& data) {
    const std::int32_t kind = fxRead(&data[kFxKindAt]);
    return kind == kFxBankParameters || kind == kFxBankChunk;
}

// Why the data, a whole record, does not load into the plug-in when it was made for
// another; else nothing.
std::string otherPlugIn(const PluginHost& host, const PresetData& data) {
    const std::int32_t id = fxRead(&data[kFxIdAt]);
    if (id == host.effect().uniqueID) return {};
    return "it was made for another plug-in, id '" + fxCodeText(id) + "' (this one is '" +
           fxCodeText(host.effect().uniqueID) + "')";
}

void describeParameters(PluginHost& host, std::ostream& out) {
    for (VstInt32 i = 0; i < host.plugIn().getParameterCount(); ++i) {
        const std::string label = host.parameterLabel(i);
        out << "  " << std::setw(3) << i << " \"" << host.parameterName(i)
            << "\" = " << host.parameterDisplay(i) << (label.empty() ? "" : " " + label) << "\n";
    }
}

void describeChunk(Fields& fields, std::ostream& out) {
    const std::int32_t size = fields.number();
    if (size < 0) throw HostError(kNotPreset);
    fields.skip(static_cast<std::size_t>(size));
    out << "  chunk of " << size << " bytes\n";
}

} // namespace

PresetData readPresetFile(const fs::path& path) {
    const std::string name = "'" + path.string() + "'";
    std::error_code ec;
    if (fs::is_directory(path, ec))
        throw HostError("preset " + name + " is a folder: name an .fxp or .fxb file in it");
    if (!fs::is_regular_file(path, ec)) throw HostError("preset not found: " + name);
    if (fs::file_size(path, ec) > kLargestPreset)
        throw HostError("preset " + name + " is too large to be one");
    std::ifstream in(path, std::ios::binary);
    PresetData data{std::istreambuf_iterator<char>(in), {}};
    if (!in && !in.eof()) throw HostError("cannot read preset " + name);
    std::ostringstream unused;
    try {
        describePreset(data, unused);
    } catch (const HostError& e) {
        throw HostError("preset " + name + ": " + e.what());
    }
    return data;
}

bool isBankFile(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension != ".fxp" && extension != ".fxb")
        throw HostError("a preset file's name ends in .fxp (a program) or .fxb (a bank): '" +
                        path.string() + "'");
    return extension == ".fxb";
}

PresetLoad loadPreset(PluginHost& host, const fs::path& path) {
    const PresetData data = readPresetFile(path);
    if (const std::string other = otherPlugIn(host, data); !other.empty())
        throw HostError("preset '" + path.string() + "': " + other);
    try {
        return {host.plugIn().loadFXPOrFXB(data.size(), data.data()), isBank(data)};
    } catch (const DoruvezovException& e) {
        throw HostError("preset '" + path.string() + "': " + e.what());
    }
}

PresetData presetOf(PluginHost& host, bool bank) {
    unsigned long size = 0;
    std::unique_ptr<unsigned char[]> data;
    try {
        data.reset(bank ? host.plugIn().createFXB(size) : host.plugIn().createFXP(size));
    } catch (const DoruvezovException& e) {
        throw HostError(e.what());
    }
    return PresetData(data.get(), data.get() + size);
}

void describePreset(const PresetData& data, std::ostream& out) {
    // The size the header gives covers the whole record; less is a file cut short.
    if (data.size() >= kFxKindAt && fxRead(data.data()) == kFxChunkMagic) {
        const auto promised = static_cast<std::uint32_t>(fxRead(&data[kFxByteSizeAt])) + 8ull;
        if (data.size() < promised)
            throw HostError("it is cut short: " + std::to_string(data.size()) + " bytes of the " +
                            std::to_string(promised) + " its header gives");
    }
    Fields fields(data);
    const Header h = header(fields);
    const char* kind = h.kind == kFxProgramParameters ? "program, parameter form"
                       : h.kind == kFxProgramChunk    ? "program, chunk form"
                       : h.kind == kFxBankParameters  ? "bank, parameter form"
                       : h.kind == kFxBankChunk       ? "bank, chunk form"
                                                      : nullptr;
    if (!kind || h.version < 1 || h.version > 2) throw HostError(kNotPreset);
    const bool bank = h.kind == kFxBankParameters || h.kind == kFxBankChunk;
    out << (bank ? "FXB " : "FXP ") << kind << " (" << fxCodeText(h.kind) << ", format "
        << h.version << ")\n"
        << "unique id   " << fxCodeText(h.id) << " (" << h.id << ")\n"
        << "version     " << h.effectVersion << "\n"
        << (bank ? "programs    " : "parameters  ") << h.count << "\n";
    if (h.kind == kFxProgramParameters) return describeProgram(fields, h.count, out);
    if (h.kind == kFxProgramChunk) {
        out << "  \"" << fields.name() << "\"\n";
        return describeChunk(fields, out);
    }
    fields.skip(kFxBankRecordsAt - kFxHeaderSize);
    if (h.kind == kFxBankChunk) return describeChunk(fields, out);
    for (std::int32_t i = 0; i < h.count; ++i) {
        const Header record = header(fields);
        if (record.kind != kFxProgramParameters || record.version != 1) throw HostError(kNotPreset);
        out << "program " << i << ":";
        describeProgram(fields, record.count, out);
    }
}

void describeFit(PluginHost& host, const PresetData& data, std::ostream& out) {
    const std::string name =
        host.effectName().empty() ? host.modulePath().stem().string() : host.effectName();
    const std::string plugIn = name + " (" + fxCodeText(host.effect().uniqueID) + ")";
    if (const std::string other = otherPlugIn(host, data); !other.empty()) {
        out << "does not match " << plugIn << ": " << other << "\n";
        return;
    }
    try {
        if (host.plugIn().loadFXPOrFXB(data.size(), data.data()))
            out << "matches " << plugIn << ": loads completely\n";
        else
            out << "loads into " << plugIn
                << " incompletely: its counts or values differ from the plug-in's\n";
    } catch (const DoruvezovException& e) {
        out << "does not match " << plugIn << ": " << e.what() << "\n";
        return;
    }
    if (!isBank(data)) {
        out << "loaded as \"" << host.programName(host.plugIn().getCurrentProgram()) << "\":\n";
        return describeParameters(host, out);
    }
    for (VstInt32 p = 0; p < host.plugIn().getProgramCount(); ++p) {
        host.setProgram(p);
        out << "loaded program " << p << " \"" << host.programName(p) << "\":\n";
        describeParameters(host, out);
    }
}
