#pragma once

#include <cstddef>
#include <string>

// The process-wide reference to the plug-in's own bundle, from which bitmaps are loaded.
// Shared by every editor in the process without locking: [ui thread] only.

// Finds the folder of the shared object holding this code and cuts three path levels from
// it (Orvella.vst/Contents/x86_64-linux/Orvella.so gives Orvella.vst); each success adds a
// reference. When the path is too short, prints one line and keeps the previous reference.
void InitMachOLibrary();
// Releases one reference; the last one clears the bundle location.
void ExitMachOLibrary();

namespace GUI {

// The same location rule applied to a given file path; false when a cut finds no "/".
bool bundleRootFromModulePath(const std::string& modulePath, std::string& root);
// The bundle root; empty while none is known.
const std::string& getBundlePath();
// Where resources are read: the override if one is set, else <bundle>/Contents/Resources,
// else empty.
std::string getResourceFolder();
// The text under `key` in the bundle's information dictionary (Contents/Info.plist, beside
// the resource folder, else the module's built-in copy); empty when there is none.
std::string getInfoString(const std::string& key);
// Points resource loading at another folder (an empty text removes the override).
void setResourceFolderOverride(const std::string& folder);

// A resource file built into the module, read when the resource folder has no such file.
struct EmbeddedResource {
    const char* name;
    const unsigned char* data;
    std::size_t size;
};
// Adds built-in resources, kept by reference: the table lives as long as the module, whose
// loading calls this before any editor opens. [main thread]
void addEmbeddedResources(const EmbeddedResource* table, std::size_t count);
// The built-in resource of that file name; null when there is none.
const EmbeddedResource* findEmbeddedResource(const std::string& name);

} // namespace GUI
