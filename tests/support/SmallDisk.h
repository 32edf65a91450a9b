#pragma once

// A disk of 256 KiB of its own: a tmpfs mounted in a mount namespace of
// this thread, which a journal's writer thread, started after it, shares.
#include <sched.h>
#include <sys/mount.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace tonvik {

class SmallDisk {
public:
    explicit SmallDisk(const std::filesystem::path& folder) : Folder(folder) {
        std::filesystem::create_directories(folder);
        Mounted = unshare(CLONE_NEWNS) == 0 &&
                  mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                  mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=256k") == 0;
    }
    ~SmallDisk() {
        if (Mounted)
            umount2(Folder.c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    // Takes what space is left.
    void Fill() const {
        std::ofstream filler(Folder / "filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())))
            filler.flush();
    }

    const std::filesystem::path Folder;
    bool Mounted = false;
};

} // namespace tonvik
