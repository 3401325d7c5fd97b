#pragma once

#include <string>

namespace tarvo {

// The hold of one coefficient viewer on the spline tool's exchange files in the working
// directory: an exclusive lock of the operating system on "B2F.lock", which the system
// drops when the process ends however it ends. A viewer holds it from its request to the
// reading of the tool's answer, so that two viewers never read each other's tables.
class ExchangeLock {
  public:
    enum class Result { taken, inUse, failed };

    ExchangeLock() = default;
    ~ExchangeLock();
    ExchangeLock(const ExchangeLock&) = delete;
    ExchangeLock& operator=(const ExchangeLock&) = delete;

    // Takes the lock (`taken` as well when it is held already); `inUse` when another holds
    // it; `failed`, with `error` set, when the lock file cannot be opened.
    Result take(std::string& error);
    // Lets the lock go; nothing when it is not held.
    void release();
    bool held() const { return m_descriptor >= 0; }

  private:
    int m_descriptor = -1;
};

// Whether a holder other than `mine` has the lock now.
bool exchangeHeldElsewhere(const ExchangeLock& mine);

} // namespace tarvo
