// A fresh folder for one test, removed with everything in it.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace skimby {

class TTempFolder {
  public:
    // Under /tmp, or under another existing folder such as MemoryFolder().
    explicit TTempFolder(const std::string& base = "/tmp") {
        std::string pattern = base + "/skimby-test-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        FPath = pattern;
    }
    ~TTempFolder() {
        // Folders a test made read-only must be writable again to be emptied.
        std::error_code ec;
        for (auto& e : std::filesystem::recursive_directory_iterator(FPath, ec))
            if (e.is_directory(ec)) chmod(e.path().c_str(), 0700);
        chmod(FPath.c_str(), 0700);
        std::filesystem::remove_all(FPath, ec);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    // The folder with a trailing "/".
    std::string Path() const { return FPath + "/"; }
    std::string File(const std::string& name) const { return Path() + name; }

  private:
    std::string FPath;
};

// A folder in memory when the system has one: files written there cost no
// disk flushes, for tests that write a file hundreds of times.
inline std::string MemoryFolder() {
    struct stat st;
    if (stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) && access("/dev/shm", W_OK) == 0)
        return "/dev/shm";
    return "/tmp";
}

inline void WriteBytes(const std::string& fileName, const std::string& bytes) {
    std::ofstream(fileName, std::ios::binary) << bytes;
}

// A file that starts with `head` and is `size` bytes long; the rest is a
// hole that takes no disk space and reads as zero bytes.
inline void WriteSparseFile(const std::string& fileName, const std::string& head,
                            std::uint64_t size) {
    WriteBytes(fileName, head);
    if (truncate(fileName.c_str(), static_cast<off_t>(size)) != 0)
        throw std::runtime_error("truncate failed");
}

inline std::string ReadBytes(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline bool Exists(const std::string& fileName) {
    struct stat st;
    return stat(fileName.c_str(), &st) == 0;
}

}  // namespace skimby
