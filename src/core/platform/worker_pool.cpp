#include "platform/worker_pool.h"

#include <exception>
#include <system_error>

namespace tb {

WorkerPool::WorkerPool(std::size_t max_threads, FailureHandler on_failure)
    : max_threads_(max_threads == 0 ? 1 : max_threads), on_failure_(std::move(on_failure)) {}

WorkerPool::~WorkerPool() {
    shutdown();
}

bool WorkerPool::post(Job job) {
    std::lock_guard lock(mutex_);
    if (stopping_) {
        return false;
    }
    queue_.push_back(std::move(job));
    if (waiting_ < queue_.size() && threads_.size() < max_threads_) {
        try {
            threads_.emplace_back([this] { run(); });
        } catch (const std::system_error&) {
            // The threads already running take the job; without any it cannot run.
            if (threads_.empty()) {
                queue_.pop_back();
                return false;
            }
        }
    }
    work_.notify_one();
    return true;
}

void WorkerPool::wait_idle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return queue_.empty() && active_ == 0; });
}

void WorkerPool::shutdown() {
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        threads.swap(threads_);
    }
    work_.notify_all();
    for (std::thread& thread : threads) {
        thread.join();
    }
}

std::size_t WorkerPool::thread_count() const {
    std::lock_guard lock(mutex_);
    return threads_.size();
}

void WorkerPool::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        ++waiting_;
        work_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        --waiting_;
        if (queue_.empty()) {
            return;
        }
        Job job = std::move(queue_.front());
        queue_.pop_front();
        ++active_;
        lock.unlock();
        run_job(job);
        job = nullptr;
        lock.lock();
        --active_;
        if (queue_.empty() && active_ == 0) {
            idle_.notify_all();
        }
    }
}

void WorkerPool::run_job(const Job& job) {
    std::string failure;
    try {
        job();
        return;
    } catch (const std::exception& exception) {
        failure = exception.what();
    } catch (...) {
        failure = kUnknownException;
    }
    if (on_failure_) {
        on_failure_(failure);
    }
}

}  // namespace tb
