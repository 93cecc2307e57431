#include "platform/posix/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/user_folders.h"

namespace kavelune::posix {

InstanceLock::InstanceLock(const std::string& name, const std::filesystem::path& folder) {
    const std::filesystem::path lockFolder = folder.empty() ? userRuntimeFolder() : folder;
    if (lockFolder.empty()) {
        return;
    }
    file_ = lockFolder / (name + ".lock");
    // O_NOFOLLOW: a link planted in a shared folder must not make us open another file.
    const int descriptor = open(file_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (descriptor < 0) {
        return;
    }
    if (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        heldElsewhere_ = errno == EWOULDBLOCK;
        close(descriptor);
        return;
    }
    descriptor_ = descriptor;
}

InstanceLock::~InstanceLock() { release(); }

void InstanceLock::release() {
    if (descriptor_ >= 0) {
        flock(descriptor_, LOCK_UN);
        close(descriptor_);
        descriptor_ = -1;
    }
}

}  // namespace kavelune::posix
