// Writes a C++ source holding the given resource files, which registers them with the
// editor's resource lookup when the module loads, so a shared object copied without its
// bundle still draws. Usage: embed_resources <output.cpp> <file> ...
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// Octal escapes of three digits, so a following digit never joins one; lines kept short.
void writeBytes(std::ofstream& out, const std::string& bytes) {
    out << "    \"";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i && i % 64 == 0) out << "\"\n    \"";
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\%03o", static_cast<unsigned char>(bytes[i]));
        out << escape;
    }
    out << "\"";
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: embed_resources <output.cpp> <file> ...\n", stderr);
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << "// Generated at build time by embed_resources: the bundle's artwork.\n"
           "#include \"gui/PluginBundle.h\"\n\n"
           "#pragma GCC diagnostic ignored \"-Woverlength-strings\"\n\n"
           "namespace {\n\n";
    std::string table;
    for (int i = 2; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "embed_resources: cannot read %s\n", argv[i]);
            return 1;
        }
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        const std::string symbol = "kFile" + std::to_string(i - 2);
        out << "const unsigned char " << symbol << "[] =\n";
        writeBytes(out, bytes);
        out << ";\n\n";
        table += "    {\"" + std::filesystem::path(argv[i]).filename().string() + "\", " + symbol +
                 ", " + std::to_string(bytes.size()) + "},\n";
    }
    out << "const GUI::EmbeddedResource kResources[] = {\n"
        << table
        << "};\n\n"
           "[[maybe_unused]] const bool registered =\n"
           "    (GUI::addEmbeddedResources(kResources, sizeof kResources / sizeof *kResources), "
           "true);\n\n"
           "} // namespace\n";
    return out.good() ? 0 : 1;
}
