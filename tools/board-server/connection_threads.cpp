#include "connection_threads.h"

namespace zentab::board {

void ConnectionThreads::enqueue(std::function<void()> job) {
    std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
    // Each idle thread takes one job; a job no idle thread will take gets a new thread.
    if (jobs_.size() > idle_ && threads_.size() < limit_) {
        threads_.emplace_back([this] { work(); });
    } else {
        wake_.notify_one();
    }
}

void ConnectionThreads::shutdown() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (auto& thread : threads_) {
        thread.join();
    }
    threads_.clear();
}

void ConnectionThreads::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        ++idle_;
        wake_.wait(lock, [this] { return !jobs_.empty() || stopping_; });
        --idle_;
        if (jobs_.empty()) {
            return;
        }
        auto job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        job();
        lock.lock();
    }
}

} // namespace zentab::board
