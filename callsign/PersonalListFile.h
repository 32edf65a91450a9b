#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tonvik {

// The file operations that replacing a list makes, each returning 0 or the
// errno of its failure. These are the system's own; a test overrides one to
// make it fail at any step.
class ListFileOps {
public:
    virtual ~ListFileOps() = default;
    // Creates path, which must not exist yet, for writing.
    virtual int OpenNew(const std::filesystem::path& path, int& fd);
    virtual int Write(int fd, std::string_view bytes);
    virtual int Sync(int fd);
    virtual int Close(int fd);
    virtual int Link(const std::filesystem::path& from, const std::filesystem::path& to);
    virtual int Rename(const std::filesystem::path& from, const std::filesystem::path& to);
    virtual int SyncFolder(const std::filesystem::path& folder);
    virtual int Remove(const std::filesystem::path& path);
};

// Puts bytes at target so that target holds either its old content or all
// of the new one, whatever fails or stops when: they are written to a new
// file beside it, synced, and renamed over it; the folder is synced after.
// A file already at target is kept first as backup (a second name for it,
// renamed over the backup before). The folder is made when it is missing.
// Returns "" once all that is done, else one line saying what failed and
// that the old list is untouched; no temporary file is left behind.
std::string ReplaceListFile(const std::filesystem::path& target,
                            const std::filesystem::path& backup, std::string_view bytes,
                            ListFileOps& ops);

// Renames target to backup (replacing it) and syncs the folder; "" when done
// or when there was no target, else one line on what failed.
std::string MoveListAside(const std::filesystem::path& target, const std::filesystem::path& backup,
                          ListFileOps& ops);

} // namespace tonvik
