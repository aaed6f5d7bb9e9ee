#include "host/PresetFile.h"

#include "host/HostError.h"
#include "vstbridge/DoruvezovException.h"
#include "vstbridge/FxRecord.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
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
        if (data_.size() - at_ < bytes) throw HostError("End of file error");
    }
    const PresetData& data_;
    std::size_t at_ = 0;
};

struct Header {
    std::int32_t kind, version, id, effectVersion, count;
};

Header header(Fields& fields) {
    if (fields.number() != kFxChunkMagic) throw HostError("Invalid format of FXP / FXB data");
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

void describeChunk(Fields& fields, std::ostream& out) {
    const std::int32_t size = fields.number();
    if (size < 0) throw HostError("Invalid format of FXP / FXB data");
    fields.skip(static_cast<std::size_t>(size));
    out << "  chunk of " << size << " bytes\n";
}

} // namespace

PresetData readPresetFile(const fs::path& path) {
    const std::string name = "'" + path.string() + "'";
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) throw HostError("preset not found: " + name);
    if (fs::file_size(path, ec) > kLargestPreset)
        throw HostError("preset " + name + " is too large to be one");
    std::ifstream in(path, std::ios::binary);
    PresetData data{std::istreambuf_iterator<char>(in), {}};
    if (!in && !in.eof()) throw HostError("cannot read preset " + name);
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

bool loadPreset(PluginHost& host, const fs::path& path) {
    const PresetData data = readPresetFile(path);
    try {
        return host.plugIn().loadFXPOrFXB(data.size(), data.data());
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
    Fields fields(data);
    const Header h = header(fields);
    const char* kind = h.kind == kFxProgramParameters ? "program, parameter form"
                       : h.kind == kFxProgramChunk    ? "program, chunk form"
                       : h.kind == kFxBankParameters  ? "bank, parameter form"
                       : h.kind == kFxBankChunk       ? "bank, chunk form"
                                                      : nullptr;
    if (!kind || h.version < 1 || h.version > 2)
        throw HostError("Invalid format of FXP / FXB data");
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
        if (record.kind != kFxProgramParameters || record.version != 1)
            throw HostError("Invalid format of FXP / FXB data");
        out << "program " << i << ":";
        describeProgram(fields, record.count, out);
    }
}

void describeFit(PluginHost& host, const PresetData& data, std::ostream& out) {
    const std::string name =
        host.effectName().empty() ? host.modulePath().stem().string() : host.effectName();
    const std::string plugIn = name + " (" + fxCodeText(host.effect().uniqueID) + ")";
    try {
        if (host.plugIn().loadFXPOrFXB(data.size(), data.data()))
            out << "matches " << plugIn << ": loads completely\n";
        else
            out << "loads into " << plugIn
                << " incompletely: its counts or values differ from the plug-in's\n";
    } catch (const DoruvezovException& e) {
        out << "does not match " << plugIn << ": " << e.what() << "\n";
    }
}
