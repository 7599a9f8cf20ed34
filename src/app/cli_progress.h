#pragma once
// Running a long job on a worker of the thread table from the command line: the main thread
// waits for the worker's done event, draws a progress bar with the count and the estimated
// time left on a terminal, and turns Ctrl-C and SIGTERM into the worker's cancel event.

#include <atomic>
#include <functional>
#include <string>

namespace tellurim {

class WorkerThreads;

struct ProgressSource {
    std::function<long()> done;  // units done so far (called from the main thread)
    long total = 0;              // 0 when unknown
    std::string label;           // "import", "export"
};

// Starts `routine(context)` on `workers`, waits for it, and returns true when it ran. While it
// runs, SIGINT and SIGTERM signal its cancel event (a second one is not caught). The bar goes to
// standard error when that is a terminal.
bool run_worker_with_progress(WorkerThreads& workers, void (*routine)(void*), void* context,
                              const ProgressSource& progress);

}  // namespace tellurim
