#include "platform/FileText.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <utility>

namespace skimby {

namespace {

std::function<void(const std::string&)> BeforeRenameHook;

// How long a writer waits for another copy's lock. A rewrite holds it for
// milliseconds; a holder that keeps it longer is stopped or hung, and the
// settings are then written without the lock rather than never.
std::chrono::milliseconds LockWait{10000};

std::string FolderOf(const std::string& fileName) {
    const auto slash = fileName.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return fileName.substr(0, slash);
}

// The file a write should replace: for a symbolic link, the file it finally
// names, followed hop by hop so that a target that does not exist yet is
// found too. The rename then replaces (or creates) the target and the link
// stays a link. No value for a loop of links.
std::optional<std::string> WriteTarget(const std::string& fileName) {
    constexpr int MaxLinkHops = 40;  // as the kernel allows in one path
    std::string path = fileName;
    for (int hop = 0; hop < MaxLinkHops; ++hop) {
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        char target[PATH_MAX];
        const ssize_t n = readlink(path.c_str(), target, sizeof target);
        if (n <= 0 || static_cast<std::size_t>(n) >= sizeof target) return std::nullopt;
        const std::string_view next(target, static_cast<std::size_t>(n));
        // A relative target counts from the link's own folder.
        path = next.front() == '/' ? std::string(next) : FolderOf(path) + "/" + std::string(next);
    }
    return std::nullopt;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Creates a new, empty file beside `target` under a name nobody else uses.
// The kernel applies the umask to the 0666, as for any new file.
int CreateTempFile(const std::string& target, std::string& tempName) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempName = target + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(counter++);
        const int fd = open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Gives the new file the old one's owner and group, so that a write by root
// (or by a member of the file's group) does not take the file away from its
// user. Only root may give a file away; others keep what they may: the group
// when they belong to it. Failing that, the writer owns the new file.
void KeepOwner(int fd, const struct stat& old) {
    if (fchown(fd, old.st_uid, old.st_gid) == 0) return;
    if (fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0) return;
    // The writer owns the new file; the write goes on.
}

// Reads the open file to its end. The size the file claims is only a first
// check: the buffer grows with the bytes that actually arrive, and a file
// that grows past the limit while it is read fails as well.
TReadResult ReadRegularFile(int fd, std::string& bytes) {
    struct stat st;
    if (fstat(fd, &st) != 0 || static_cast<std::uint64_t>(st.st_size) > MaxTextFileBytes)
        return TReadResult::Failed;
    constexpr std::size_t Chunk = 65536;
    std::size_t size = 0;
    for (;;) {
        if (bytes.size() - size < Chunk) bytes.resize(std::max(size + Chunk, 2 * size));
        const ssize_t n = read(fd, bytes.data() + size, bytes.size() - size);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            return TReadResult::Failed;
        }
        size += static_cast<std::size_t>(n);
        if (size > MaxTextFileBytes) return TReadResult::Failed;
    }
    bytes.resize(size);
    return TReadResult::Ok;
}

// Flushes the folder entry of a rename to disk; a failure here does not
// undo the write, so it is not reported.
void SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

}  // namespace

int OpenRegularFile(const std::string& fileName) {
    struct stat st;
    if (stat(fileName.c_str(), &st) != 0) return -1;
    if (!S_ISREG(st.st_mode)) {
        errno = EINVAL;
        return -1;
    }
    const int fd = open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;
    // Reads wait for data as usual once the file is known to be regular.
    const int flags = fcntl(fd, F_GETFL);
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flags < 0 ||
        fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

TReadResult ReadWholeFile(const std::string& fileName, std::string& bytes) {
    bytes.clear();
    const int fd = OpenRegularFile(fileName);
    if (fd < 0)
        return (errno == ENOENT || errno == ENOTDIR) ? TReadResult::Missing : TReadResult::Failed;
    const TReadResult result = ReadRegularFile(fd, bytes);
    close(fd);
    if (result != TReadResult::Ok) bytes.clear();
    return result;
}

std::string ReadFileText(const std::string& fileName) {
    std::string bytes;
    if (ReadWholeFile(fileName, bytes) != TReadResult::Ok) throw EFOpenError(fileName);
    return bytes;
}

bool WriteFileAtomically(const std::string& fileName, std::string_view bytes) {
    const std::optional<std::string> resolved = WriteTarget(fileName);
    if (!resolved) return false;
    const std::string& target = *resolved;
    struct stat old;
    const bool exists = stat(target.c_str(), &old) == 0;
    if (exists && (!S_ISREG(old.st_mode) || access(target.c_str(), W_OK) != 0)) return false;

    std::string tempName;
    const int fd = CreateTempFile(target, tempName);
    if (fd < 0) return false;
    if (exists) KeepOwner(fd, old);
    bool ok =
        (!exists || fchmod(fd, old.st_mode & 07777) == 0) && WriteAll(fd, bytes) && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    if (ok && BeforeRenameHook) BeforeRenameHook(tempName);
    if (ok) ok = rename(tempName.c_str(), target.c_str()) == 0;
    if (!ok) {
        unlink(tempName.c_str());
        return false;
    }
    SyncFolder(FolderOf(target));
    return true;
}

TFileLock::TFileLock(const std::string& fileName) {
    // Opened for reading only: flock needs no more, and another user who may
    // write the settings file can then share a lock file that root created.
    const std::optional<std::string> target = WriteTarget(fileName);
    if (!target) return;  // a loop of links, which cannot be written either
    const std::string lockName = *target + ".lock";
    FFd = open(lockName.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (FFd < 0) return;
    // Polled rather than blocking, so that a stuck holder cannot hang the
    // program's close for good.
    const auto giveUp = std::chrono::steady_clock::now() + LockWait;
    while (flock(FFd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) ||
            std::chrono::steady_clock::now() >= giveUp) {
            close(FFd);
            FFd = -1;
            return;
        }
        usleep(5000);
    }
}

TFileLock::~TFileLock() {
    if (FFd >= 0) close(FFd);  // closing releases the lock
}

void SetBeforeRenameHookForTest(std::function<void(const std::string&)> hook) {
    BeforeRenameHook = std::move(hook);
}

void SetLockWaitForTest(std::chrono::milliseconds wait) {
    LockWait = wait;
}

bool CanCreateFileIn(const std::string& folder) {
    // An empty folder is the current one, as it is for names joined to it.
    std::string pattern = folder.empty() ? "./" : folder;
    if (pattern.back() != '/') pattern += '/';
    pattern += ".skimby-write-test-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) return false;
    close(fd);
    unlink(pattern.c_str());
    return true;
}

bool ForceFolders(const std::string& folder) {
    std::string path;
    std::size_t pos = 0;
    while (pos <= folder.size()) {
        std::size_t slash = folder.find('/', pos);
        if (slash == std::string::npos) slash = folder.size();
        path = folder.substr(0, slash);
        if (!path.empty()) mkdir(path.c_str(), 0700);  // an existing part fails harmlessly
        pos = slash + 1;
    }
    struct stat st;
    return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace skimby
