#pragma once
// The worker thread table: 255 slots, each with a thread, its identifier, a cancel event and
// a done event. The user-interface thread claims slots; a worker sets only its own slot's
// done event (and, for a Tk run, its cancel event). Slots are claimed by one thread only,
// so claiming needs no lock; the events themselves are thread-safe.

#include <array>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace tellurim {

// A manual-reset event: once set it stays set, and every wait returns, until reset.
class ManualResetEvent {
public:
    void set();
    void reset();
    bool is_set() const;
    // Waits without time limit until the event is set.
    void wait() const;

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    bool m_set = false;
};

class WorkerThreads {
public:
    static constexpr int kSlots = 255;
    using Routine = void (*)(void* context);
    // Flag of start(): when the routine returns, its thread sets the done event as any worker
    // does, then stays in its slot, idle, and the next start that takes that slot hands its
    // routine to it instead of creating a thread (the slot keeps its thread identifier and
    // handle and gets new events). The ephemeris call of every chart uses it: creating a
    // thread costs far more than computing the positions.
    static constexpr unsigned kKeepThread = 1;

    WorkerThreads() = default;
    // Waits for every started thread to end, then releases it.
    ~WorkerThreads();
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    // Starts `routine(context)` in the first free slot (free: no done event, or a done event
    // that is set) and returns the slot number; -1 when all slots are busy or the thread
    // cannot be created (that slot then has no events and stays free). When the routine
    // returns, its thread calls finish_current(), which sets the slot's done event.
    int start(Routine routine, void* context) { return start(0, routine, context); }
    int start(unsigned flags, Routine routine, void* context);
    // Sets the cancel event of `slot`; does nothing for a slot number outside 0..254 or a
    // slot without events.
    void signal_cancel(int slot);
    // True as soon as one slot has a done event that is not set.
    bool any_running() const;
    // Waits without time limit for the done event of `slot`; returns at once for a slot
    // without events.
    void wait(int slot) const;

    // Called on a worker: the slot whose thread identifier is the caller's, or -1.
    int current_slot() const;
    // Called on a worker as it ends: sets its slot's done event; does nothing when the
    // caller has no slot (a routine started outside the table).
    void finish_current();
    // The cancel event of a slot (nullptr when absent): workers test it between records.
    ManualResetEvent* cancel_event(int slot) const;
    bool is_cancelled(int slot) const;

private:
    // The hand-over between start() and a thread of the slot: the routine to run next, and
    // whether the thread is idle, waiting for one.
    struct Handover {
        std::mutex mutex;
        std::condition_variable wake;
        Routine routine = nullptr;
        void* context = nullptr;
        bool keep = false;
        bool idle = false;
        bool stop = false;
    };
    struct Slot {
        std::thread thread;
        std::thread::id id;
        std::shared_ptr<ManualResetEvent> cancel;
        std::shared_ptr<ManualResetEvent> done;
        std::shared_ptr<Handover> handover;
    };
    // Ends the slot's thread (an idle one is told to stop) and waits for it.
    static void release(Slot& slot);
    void thread_main(std::shared_ptr<Handover> handover, std::shared_ptr<ManualResetEvent> gate);

    // Guards the identifiers and event pointers that a worker reads while the
    // user-interface thread may be filling another slot.
    mutable std::mutex m_mutex;
    std::array<Slot, kSlots> m_slots{};
};

}  // namespace tellurim
