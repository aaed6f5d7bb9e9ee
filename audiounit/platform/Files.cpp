#include "audiounit/platform/Files.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Larger files are not preset or configuration data: refused before anything is allocated.
constexpr off_t kMaxFileBytes = 16 << 20;

OSStatus statusOf(int error) {
    switch (error) {
    case 0:
        return noErr;
    case ENOENT:
        return fnfErr;
    case EEXIST:
        return dupFNErr;
    case ENOTDIR:
        return dirNFErr;
    case EACCES:
    case EPERM:
    case EROFS:
        return permErr;
    case ENAMETOOLONG:
        return bdNamErr;
    case ENOMEM:
        return memFullErr;
    default:
        return ioErr;
    }
}

fs::path domainFolder(short domain) {
    const char* redirect =
        std::getenv(domain == kUserDomain ? kUserAudioFolderVariable : kLocalAudioFolderVariable);
    if (redirect && *redirect) return redirect;
    if (domain == kLocalDomain) return "/usr/local/share/Audio";
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/') {
        return fs::path(data) / "Audio";
    }
    const char* home = std::getenv("HOME");
    if (!home || !*home) return {};
    return fs::path(home) / ".local/share/Audio";
}

struct Descriptor {
    explicit Descriptor(int fd) : fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
    int fd;
};

} // namespace

OSStatus FSFindFolder(short domain, OSType folderType, bool createFolder, FSRef* folder) {
    if (!folder || folderType != kAudioSupportFolderType) return paramErr;
    if (domain != kUserDomain && domain != kLocalDomain) return paramErr;
    const fs::path path = domainFolder(domain);
    if (path.empty()) return fnfErr;
    std::error_code error;
    if (createFolder) fs::create_directories(path, error);
    if (!fs::is_directory(path, error)) return error ? statusOf(error.value()) : fnfErr;
    folder->path = path;
    return noErr;
}

OSStatus FSMakeFSRef(const FSRef& parent, const std::string& name, FSRef* result) {
    if (!result) return paramErr;
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
        name.find('\0') != std::string::npos) {
        return bdNamErr;
    }
    result->path = parent.path / name;
    return noErr;
}

OSStatus FSCreateDirectory(const FSRef& parent, const std::string& name, FSRef* result) {
    FSRef made;
    if (OSStatus status = FSMakeFSRef(parent, name, &made)) return status;
    if (::mkdir(made.path.c_str(), 0777) != 0) return statusOf(errno);
    if (result) *result = made;
    return noErr;
}

OSStatus FSCreateFile(const FSRef& parent, const std::string& name, FSRef* result) {
    FSRef made;
    if (OSStatus status = FSMakeFSRef(parent, name, &made)) return status;
    Descriptor file(::open(made.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (file.fd < 0) return statusOf(errno);
    if (result) *result = made;
    return noErr;
}

OSStatus FSDeleteObject(const FSRef& item) {
    if (::remove(item.path.c_str()) != 0) return statusOf(errno);
    return noErr;
}

bool FSIsFolder(const FSRef& item) {
    std::error_code error;
    return fs::is_directory(item.path, error);
}

OSStatus FSListFolder(const FSRef& folder, std::vector<FSFolderItem>& items) {
    items.clear();
    std::error_code error;
    fs::directory_iterator it(folder.path, error);
    if (error) return statusOf(error.value());
    for (const fs::directory_entry& entry : it) {
        items.push_back({entry.path().filename().string(), entry.is_regular_file(error)});
    }
    std::sort(items.begin(), items.end(),
              [](const FSFolderItem& a, const FSFolderItem& b) { return a.name < b.name; });
    return noErr;
}

OSStatus FSReadWholeFile(const FSRef& file, std::vector<unsigned char>& bytes) {
    Descriptor in(::open(file.path.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.fd < 0) return statusOf(errno);
    struct stat info {};
    if (::fstat(in.fd, &info) != 0) return statusOf(errno);
    if (S_ISDIR(info.st_mode)) return errFSNotAFolder;
    if (!S_ISREG(info.st_mode)) return paramErr;
    if (info.st_size > kMaxFileBytes) return memFullErr;
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(in.fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return statusOf(errno);
        if (n == 0) break; // shrank while read: what is there is the file
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return noErr;
}

OSStatus FSWriteWholeFile(const FSRef& file, const unsigned char* bytes, unsigned long size) {
    Descriptor out(::open(file.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (out.fd < 0) return statusOf(errno);
    unsigned long done = 0;
    while (done < size) {
        const ssize_t n = ::write(out.fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return statusOf(errno);
        done += static_cast<unsigned long>(n);
    }
    return noErr;
}
