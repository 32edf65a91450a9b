#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace tonvik {

// The personal list held by one program from reading it to replacing it
// (tonvik calls import --append, reset), so that two at once never merge into
// the same old list and lose one's callsigns. The lock is on the list's
// folder, which stays while the list itself is renamed over: no lock file is
// made or left. The system drops it when the program ends, however it ends.
class PersonalListLock {
public:
    PersonalListLock() = default;
    ~PersonalListLock();
    PersonalListLock(const PersonalListLock&) = delete;
    PersonalListLock& operator=(const PersonalListLock&) = delete;

    // Makes the folder when missing and takes the lock, waiting while another
    // program holds it; waiting is called once before such a wait. "" when
    // held, else one line on what failed.
    std::string Take(const std::filesystem::path& folder, const std::function<void()>& waiting);

private:
    int Fd = -1;
};

} // namespace tonvik
