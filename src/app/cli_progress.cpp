#include "app/cli_progress.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fmt/format.h>
#include <thread>
#include <unistd.h>

#include "core/worker_threads.h"

namespace tellurim {
namespace {

volatile std::sig_atomic_t g_interrupted = 0;

// Ctrl-C and SIGTERM (a kill, a shutdown) both stop the job after its current unit, so that
// its log gets its end frame and its files are complete. A second one of either ends the
// process at once; the files are written whole or not at all, so none is left half-written.
extern "C" void on_interrupt(int) {
    g_interrupted = 1;
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}

std::string duration_text(double seconds) {
    long s = static_cast<long>(seconds + 0.5);
    return s >= 3600 ? fmt::format("{}:{:02d}:{:02d}", s / 3600, (s / 60) % 60, s % 60)
                     : fmt::format("{}:{:02d}", s / 60, s % 60);
}

void draw(const ProgressSource& p, double elapsed) {
    const long done = p.done ? p.done() : 0;
    std::string line;
    if (p.total > 0) {
        const double fraction = std::min(1.0, static_cast<double>(done) / static_cast<double>(p.total));
        const int width = 30;
        const int filled = static_cast<int>(fraction * width);
        std::string left = "--:--";
        if (done > 0) left = duration_text(elapsed * (static_cast<double>(p.total - done) / static_cast<double>(done)));
        line = fmt::format("\r{} [{}{}] {}/{} {:3.0f}% left {}  ", p.label, std::string(static_cast<std::size_t>(filled), '#'),
                           std::string(static_cast<std::size_t>(width - filled), '.'), done, p.total, fraction * 100.0, left);
    } else {
        line = fmt::format("\r{} {}  ", p.label, done);
    }
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}

}  // namespace

bool run_worker_with_progress(WorkerThreads& workers, void (*routine)(void*), void* context,
                              const ProgressSource& progress) {
    g_interrupted = 0;
    struct sigaction action {};
    struct sigaction previous_int {};
    struct sigaction previous_term {};
    action.sa_handler = on_interrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previous_int);
    sigaction(SIGTERM, &action, &previous_term);
    auto restore = [&] {
        sigaction(SIGINT, &previous_int, nullptr);
        sigaction(SIGTERM, &previous_term, nullptr);
    };

    const int slot = workers.start(routine, context);
    if (slot < 0) {
        restore();
        return false;
    }
    const bool bar = isatty(STDERR_FILENO) != 0;
    const auto start = std::chrono::steady_clock::now();
    bool cancel_sent = false;
    while (workers.any_running()) {
        if (g_interrupted && !cancel_sent) {
            workers.signal_cancel(slot);
            cancel_sent = true;
        }
        if (bar) draw(progress, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    workers.wait(slot);
    if (bar) {
        draw(progress, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        std::fputs("\n", stderr);
    }
    restore();
    return true;
}

}  // namespace tellurim
