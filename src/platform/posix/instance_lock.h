#pragma once

#include <filesystem>
#include <string>

namespace kavelune::posix {

// A named lock that keeps a second copy of the program from running: a file in the user's
// runtime folder, held with an exclusive advisory lock for as long as the object lives. The
// system drops the lock when the process ends, however it ends, so a crash never leaves a
// stale lock behind.
class InstanceLock {
public:
    // Tries to take the lock `name` in `folder` (the user's runtime folder when empty).
    explicit InstanceLock(const std::string& name, const std::filesystem::path& folder = {});
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when this object holds the lock. False when another process holds it, and also when
    // the lock file could not be made at all.
    bool held() const { return descriptor_ >= 0; }
    // True only when another process holds the lock.
    bool heldElsewhere() const { return heldElsewhere_; }
    const std::filesystem::path& file() const { return file_; }

    // Releases the lock before the object goes away.
    void release();

private:
    std::filesystem::path file_;
    int descriptor_ = -1;
    bool heldElsewhere_ = false;
};

}  // namespace kavelune::posix
