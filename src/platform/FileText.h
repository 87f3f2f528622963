// Whole-file reading and crash-safe whole-file writing. Settings files are
// rewritten in full on every change, so a write goes to a temporary file in
// the same folder, is flushed to disk and then renamed over the old file:
// a crash, a kill or a full disk leaves either the old file or the new one,
// never a half-written one.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "platform/Exception.h"

namespace skimby {

// A file that cannot be opened or read; the message names its full path.
class EFOpenError : public Exception {
  public:
    explicit EFOpenError(const std::string& fileName) : Exception("Cannot open file " + fileName) {}
};

enum class TReadResult { Ok, Missing, Failed };

// The largest file the program reads as text (settings and server list):
// far more than any hand-kept file, and little enough to hold in memory.
constexpr std::size_t MaxTextFileBytes = 16u << 20;

// Opens a regular file for reading, or gives -1. A named pipe would wait for
// a writer forever and a device may never end, so anything that is not a
// regular file is not opened at all (errno EINVAL); the open itself does not
// wait, and the descriptor is checked again in case the name changed in
// between. A missing file gives errno ENOENT or ENOTDIR. The caller closes
// the descriptor.
int OpenRegularFile(const std::string& fileName);

// Reads every byte of the file into `bytes`. Missing means there is no file
// at that path; Failed means there is something that cannot be read: a file
// without permission, one larger than MaxTextFileBytes, or anything that is
// not a regular file (a folder, a named pipe, a device). Never waits for a
// writer and never trusts the size a file claims.
TReadResult ReadWholeFile(const std::string& fileName, std::string& bytes);

// Reads every byte of the file; raises EFOpenError when ReadWholeFile fails.
std::string ReadFileText(const std::string& fileName);

// Replaces the file's content with `bytes` atomically. An existing file keeps
// its permission bits and, as far as the writer may set them, its owner and
// group; a file whose permission bits forbid writing is left alone. A
// symbolic link stays a link: its target is written, or created when it is
// not there yet. False when the file could not be written; the old file is
// then untouched and no temporary file is left behind.
bool WriteFileAtomically(const std::string& fileName, std::string_view bytes);

// Holds an exclusive lock on the file for as long as it lives, so that two
// copies of the program cannot interleave their read, rewrite and rename and
// lose each other's changes. The lock is taken with flock on a lock file
// beside the file that is written (beside a link's target for a symbolic
// link), "<name>.lock", created when missing and left in place: removing it
// would let a third writer lock a new file while the second still holds the
// old one. When the lock file cannot be opened (a folder that cannot be
// written, where the write fails anyway), or another holder keeps the lock
// longer than ten seconds (a stopped or hung copy), there is no lock.
class TFileLock {
  public:
    explicit TFileLock(const std::string& fileName);
    ~TFileLock();
    TFileLock(const TFileLock&) = delete;
    TFileLock& operator=(const TFileLock&) = delete;

  private:
    int FFd = -1;
};

// Tests stand in for a crash with this: the hook runs after the temporary
// file has been written and flushed, just before the rename, and gets the
// temporary file's path. An exception from it leaves everything as a killed
// process would. Pass an empty function to remove it.
void SetBeforeRenameHookForTest(std::function<void(const std::string& tempName)> hook);

// Tests shorten the wait for another holder's lock with this.
void SetLockWaitForTest(std::chrono::milliseconds wait);

// True when a new file can actually be created in the folder (tried, then
// removed): permission bits alone say nothing for root or on read-only mounts.
bool CanCreateFileIn(const std::string& folder);

// Creates the folder and any missing parents (mode 0700 for new ones).
// True when the folder exists afterwards.
bool ForceFolders(const std::string& folder);

}  // namespace skimby
