#include "exchange_lock.h"

#include "common/exchange_files.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tarvo {

ExchangeLock::~ExchangeLock() {
    release();
}

ExchangeLock::Result ExchangeLock::take(std::string& error) {
    if (held()) {
        return Result::taken;
    }
    const int descriptor = ::open(kLockFile, O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        error = std::strerror(errno);
        return Result::failed;
    }
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        const int reason = errno;
        ::close(descriptor);
        if (reason == EWOULDBLOCK) {
            return Result::inUse;
        }
        error = std::strerror(reason);
        return Result::failed;
    }
    m_descriptor = descriptor;
    return Result::taken;
}

void ExchangeLock::release() {
    if (held()) {
        // Closing the descriptor drops the lock.
        ::close(m_descriptor);
        m_descriptor = -1;
    }
}

bool exchangeHeldElsewhere(const ExchangeLock& mine) {
    if (mine.held()) {
        return false;
    }
    const int descriptor = ::open(kLockFile, O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return false; // no viewer has ever asked here
    }
    const bool held = ::flock(descriptor, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(descriptor);
    return held;
}

} // namespace tarvo
