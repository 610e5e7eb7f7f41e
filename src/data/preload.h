#pragma once
// Reads files a run will need on a thread of its own while the run reads others: a summary reads
// the invoices while the guest history is being read. What the thread reads goes to the table
// cache; a reader that wants a file being read waits for it. Nothing is reported from the thread:
// a file it could not read is read again by whoever needs it, who then gets the error. The thread
// reads the columns the constructing thread's run needs (data/column_needs.h); the needs must
// outlive this.
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "core/workspace.h"

namespace ov {

class Preload {
public:
    // Names as Database::open takes them, read in this order. The workspace must outlive this.
    Preload(const Workspace& ws, std::vector<std::string> names);
    // Waits for the file being read; the ones not started are left.
    ~Preload();
    Preload(const Preload&) = delete;
    Preload& operator=(const Preload&) = delete;

private:
    std::atomic<bool> stop_{false};
    std::thread worker_;
};

}  // namespace ov
