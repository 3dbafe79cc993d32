#pragma once
// Whole-file reads and atomic whole-file writes. Every settings, INI, registry and list file
// goes through WriteFileAtomic so that a failure (disk full, missing folder, size limit)
// never leaves a half-written file: the old file stays as it was.
#include <cstdint>
#include <string>
#include <string_view>

namespace vel {

// Writes Data to a temporary file in FileName's folder, flushes it to disk and renames it over
// FileName. A new file gets the usual permissions (0666 less the umask); an existing file keeps
// its own. Raises EFCreateError naming the file when the temporary file cannot be created, and
// EWriteError when writing, flushing or renaming fails; the temporary file is removed then.
// Without Sync the data is not forced to disk before the rename: still all-or-nothing for the
// program, much faster, but a power failure may lose the latest write.
void WriteFileAtomic(const std::string& FileName, std::string_view Data, bool Sync = true);

// Reads a whole file. Raises EFOpenError naming the file (and the system's reason) when it
// cannot be opened or read, for example when FileName is a folder.
std::string ReadFileBytes(const std::string& FileName);

bool FileExists(const std::string& FileName);

// Identity of a file's current contents as far as the file system tells (device, inode, size,
// modification time); all zero when the file does not exist. Used to notice that another
// object or process replaced a file since it was last read.
// Writes made through WriteFileAtomic in this process also count, because the file system's
// clock is coarse and a freed inode number comes back quickly.
struct TFileStamp {
    std::uint64_t Device = 0, Inode = 0, Size = 0, LocalWrites = 0;
    std::int64_t ModSec = 0, ModNsec = 0;
    bool operator==(const TFileStamp&) const = default;
};
TFileStamp GetFileStamp(const std::string& FileName);

}  // namespace vel
