#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <httplib.h>
#include <mutex>
#include <thread>
#include <vector>

namespace zentab::board {

// Serves each connection on a thread of its own, so that slow or idle clients cannot keep the
// others waiting. Threads are started as connections need them, up to a limit; beyond it a
// connection waits until one ends.
class ConnectionThreads : public httplib::TaskQueue {
public:
    explicit ConnectionThreads(std::size_t limit) : limit_(limit) {}

    void enqueue(std::function<void()> job) override;
    // Runs the jobs still waiting, then ends every thread.
    void shutdown() override;

private:
    void work();

    const std::size_t limit_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    std::vector<std::thread> threads_;
    std::size_t idle_ = 0;
    bool stopping_ = false;
};

} // namespace zentab::board
