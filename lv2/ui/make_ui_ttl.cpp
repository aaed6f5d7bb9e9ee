// Writes the UI's description: the features it uses and the control ports whose changes it
// wants to hear of, outputs included, so a host shows what learned controllers do.
// Usage: make_ui_ttl <output.ttl>

#include "lv2/OrvellaPorts.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make_ui_ttl <output.ttl>\n", stderr);
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "w");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(out,
                 "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
                 "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
                 "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n"
                 "<%s>\n"
                 "    a ui:X11UI ;\n"
                 "    lv2:requiredFeature ui:parent ;\n"
                 "    lv2:optionalFeature ui:idleInterface , ui:resize , ui:touch , "
                 "ui:noUserResize , urid:map ;\n"
                 "    lv2:extensionData ui:idleInterface",
                 OrvellaPorts::kUiUri);
    for (uint32_t port = OrvellaPorts::kFirstControlInput; port < OrvellaPorts::kNumPorts; ++port)
        std::fprintf(out,
                     " ;\n    ui:portNotification [ ui:plugin <%s> ; ui:portIndex %u ; "
                     "ui:protocol ui:floatProtocol ]",
                     OrvellaPorts::kPluginUri, unsigned(port));
    std::fputs(" .\n", out);
    return std::fclose(out) == 0 ? 0 : 1;
}
