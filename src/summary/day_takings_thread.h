#pragma once
// Collects the takings of every day of a run on a thread of its own, in day order, while the
// calling thread counts the guests. The thread reads with the caller's column needs. It stops at
// the first day whose takings cannot be read; that error goes to the caller when the caller
// reaches the same day, so a run tells the same error it would tell reading day by day.
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "summary/day_figures.h"

namespace ov {

class DayTakingsThread {
public:
    // `collect` fills one day's amounts; `days` must outlive this.
    DayTakingsThread(std::vector<SummaryDay>& days, std::function<void(SummaryDay&)> collect);
    // Stops after the day in hand (the caller failed) and waits for it.
    ~DayTakingsThread();
    DayTakingsThread(const DayTakingsThread&) = delete;
    DayTakingsThread& operator=(const DayTakingsThread&) = delete;

    // Throws the failure already known of day `day` or one before it; does not wait.
    void throwIfFailedBy(size_t day);
    // Waits until day `day` is done or a failure on it or before it is known, and throws that failure.
    void rethrowFailureUpTo(size_t day);
    // Waits for every day; throws the failure, if any.
    void finish();

private:
    void run();

    std::vector<SummaryDay>& days_;
    std::function<void(SummaryDay&)> collect_;
    std::mutex mutex_;
    std::condition_variable progressed_;
    size_t done_ = 0;               // days collected
    bool stopped_ = false;          // the caller gave up
    std::exception_ptr failure_;    // the error of day done_
    std::thread worker_;
};

}  // namespace ov
