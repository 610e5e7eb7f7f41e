#include "summary/day_takings_thread.h"

#include "data/column_needs.h"
#include "data/table_cache.h"

namespace ov {

DayTakingsThread::DayTakingsThread(std::vector<SummaryDay>& days, std::function<void(SummaryDay&)> collect)
    : days_(days), collect_(std::move(collect)) {
    worker_ = std::thread([this, needs = currentColumnNeeds()] {
        ColumnNeedsScope columns(needs);
        tablecache::FileSnapshotScope files;
        run();
    });
}

void DayTakingsThread::run() {
    for (size_t i = 0; i < days_.size(); ++i) {
        {
            std::lock_guard lock(mutex_);
            if (stopped_) return;
        }
        std::exception_ptr failure;
        try {
            collect_(days_[i]);
        } catch (...) {
            failure = std::current_exception();
        }
        {
            std::lock_guard lock(mutex_);
            if (failure) failure_ = failure;
            else ++done_;
        }
        progressed_.notify_all();
        if (failure) return;
    }
}

void DayTakingsThread::throwIfFailedBy(size_t day) {
    std::lock_guard lock(mutex_);
    if (failure_ && done_ <= day) std::rethrow_exception(failure_);
}

void DayTakingsThread::rethrowFailureUpTo(size_t day) {
    std::unique_lock lock(mutex_);
    progressed_.wait(lock, [&] { return done_ > day || failure_; });
    if (failure_ && done_ <= day) std::rethrow_exception(failure_);
}

void DayTakingsThread::finish() {
    if (worker_.joinable()) worker_.join();
    if (failure_) std::rethrow_exception(failure_);
}

DayTakingsThread::~DayTakingsThread() {
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    if (worker_.joinable()) worker_.join();
}

}  // namespace ov
