#pragma once

#include <atomic>
#include <memory>

// The clerk's request that a running job stop: raised in the window's thread, read by the job's
// thread between its steps. Copies share one flag.
class StopFlag
{
public:
    void Raise() const { flag->store(true); }
    bool IsRaised() const { return flag->load(); }

private:
    std::shared_ptr<std::atomic_bool> flag = std::make_shared<std::atomic_bool>(false);
};
