#pragma once

#include "audiounit/platform/MacTypes.h"

#include <filesystem>
#include <string>
#include <vector>

// File references are paths; there are no file types, so files are told apart by their
// extension. Every operation answers a platform result code and never throws.
struct FSRef {
    std::filesystem::path path;
};

enum : short {
    kUserDomain = -32763,
    kLocalDomain = -32764,
};

constexpr OSType kAudioSupportFolderType = fourCharCode("adio");

// The environment variables that redirect the audio support folder of each domain.
constexpr const char* kUserAudioFolderVariable = "ORVELLA_USER_AUDIO_DIR";
constexpr const char* kLocalAudioFolderVariable = "ORVELLA_LOCAL_AUDIO_DIR";

// The folder of the given type in a domain: user $XDG_DATA_HOME/Audio (default
// ~/.local/share/Audio), local /usr/local/share/Audio, unless redirected. Created when
// createFolder is set and it is missing. [main thread] may block on the file system.
OSStatus FSFindFolder(short domain, OSType folderType, bool createFolder, FSRef* folder);

// The reference to a name inside a folder, whether or not it exists; names holding "/" or
// naming "." or ".." are refused. [any thread]
OSStatus FSMakeFSRef(const FSRef& parent, const std::string& name, FSRef* result);

// New sub-folder or empty file; dupFNErr when the name already exists (nothing is
// changed then). [main thread] may block on the file system.
OSStatus FSCreateDirectory(const FSRef& parent, const std::string& name, FSRef* result);
OSStatus FSCreateFile(const FSRef& parent, const std::string& name, FSRef* result);

// Removes a file or an empty folder. [main thread] may block on the file system.
OSStatus FSDeleteObject(const FSRef& item);

// [main thread] may block on the file system.
bool FSIsFolder(const FSRef& item);

struct FSFolderItem {
    std::string name; // with its extension
    bool isFile;      // a plain file (or a link to one)
};

// The items of a folder in name order. [main thread] may block on the file system.
OSStatus FSListFolder(const FSRef& folder, std::vector<FSFolderItem>& items);

// The whole content of a file. [main thread] may block on the file system.
OSStatus FSReadWholeFile(const FSRef& file, std::vector<unsigned char>& bytes);
// Writes bytes from the start of an existing or new file and ends it there.
// [main thread] may block on the file system.
OSStatus FSWriteWholeFile(const FSRef& file, const unsigned char* bytes, unsigned long size);
