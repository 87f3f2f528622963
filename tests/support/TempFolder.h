// A fresh folder under /tmp for one test, removed with everything in it.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace skimby {

class TTempFolder {
  public:
    TTempFolder() {
        char pattern[] = "/tmp/skimby-test-XXXXXX";
        if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
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

inline void WriteBytes(const std::string& fileName, const std::string& bytes) {
    std::ofstream(fileName, std::ios::binary) << bytes;
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
