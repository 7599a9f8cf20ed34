#include "core/worker_threads.h"

#include <system_error>

namespace tellurim {

void ManualResetEvent::set() {
    {
        std::lock_guard lock(m_mutex);
        m_set = true;
    }
    m_changed.notify_all();
}

void ManualResetEvent::reset() {
    std::lock_guard lock(m_mutex);
    m_set = false;
}

bool ManualResetEvent::is_set() const {
    std::lock_guard lock(m_mutex);
    return m_set;
}

void ManualResetEvent::wait() const {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_set; });
}

WorkerThreads::~WorkerThreads() {
    for (auto& slot : m_slots) release(slot);
}

void WorkerThreads::release(Slot& slot) {
    if (slot.handover) {
        {
            std::lock_guard lock(slot.handover->mutex);
            slot.handover->stop = true;
        }
        slot.handover->wake.notify_one();
    }
    // A finished worker may still be returning from its wrapper; join waits for that.
    if (slot.thread.joinable()) slot.thread.join();
    slot.handover.reset();
}

void WorkerThreads::thread_main(std::shared_ptr<Handover> h, std::shared_ptr<ManualResetEvent> gate) {
    gate->wait();
    for (;;) {
        Routine routine;
        void* context;
        bool keep;
        {
            std::lock_guard lock(h->mutex);
            routine = h->routine;
            context = h->context;
            keep = h->keep;
            h->routine = nullptr;
        }
        routine(context);
        if (!keep) {
            finish_current();
            return;
        }
        // Idle before done: a start() that finds the slot free finds its thread waiting.
        {
            std::lock_guard lock(h->mutex);
            h->idle = true;
        }
        finish_current();
        std::unique_lock lock(h->mutex);
        h->wake.wait(lock, [&] { return h->routine != nullptr || h->stop; });
        if (!h->routine) return;  // stopped
        h->idle = false;
    }
}

int WorkerThreads::start(unsigned flags, Routine routine, void* context) {
    int free_slot = -1;
    for (int i = 0; i < kSlots; ++i) {
        const auto& done = m_slots[static_cast<std::size_t>(i)].done;
        if (!done || done->is_set()) {
            free_slot = i;
            break;
        }
    }
    if (free_slot < 0) return -1;
    Slot& slot = m_slots[static_cast<std::size_t>(free_slot)];
    const bool keep = (flags & kKeepThread) != 0;

    // A thread kept idle in the slot takes the routine: new events, same thread.
    if (const std::shared_ptr<Handover> h = slot.handover) {
        std::unique_lock hl(h->mutex);
        if (h->idle && !h->stop) {
            {
                std::lock_guard lock(m_mutex);
                slot.cancel = std::make_shared<ManualResetEvent>();
                slot.done = std::make_shared<ManualResetEvent>();
            }
            h->routine = routine;
            h->context = context;
            h->keep = keep;
            h->idle = false;
            hl.unlock();
            h->wake.notify_one();
            return free_slot;
        }
    }
    release(slot);

    // The worker must not look for its slot before the slot holds its identifier: it waits
    // at this gate until the table is filled in.
    auto gate = std::make_shared<ManualResetEvent>();
    auto handover = std::make_shared<Handover>();
    handover->routine = routine;
    handover->context = context;
    handover->keep = keep;
    std::thread thread;
    try {
        thread = std::thread([this, handover, gate] { thread_main(handover, gate); });
    } catch (const std::system_error&) {
        std::lock_guard lock(m_mutex);
        slot.id = {};
        slot.cancel.reset();
        slot.done.reset();
        return -1;
    }
    {
        std::lock_guard lock(m_mutex);
        slot.id = thread.get_id();
        slot.thread = std::move(thread);
        slot.cancel = std::make_shared<ManualResetEvent>();
        slot.done = std::make_shared<ManualResetEvent>();
        slot.handover = handover;
    }
    gate->set();
    return free_slot;
}

void WorkerThreads::signal_cancel(int slot) {
    if (ManualResetEvent* e = cancel_event(slot)) e->set();
}

bool WorkerThreads::any_running() const {
    for (const auto& slot : m_slots)
        if (slot.done && !slot.done->is_set()) return true;
    return false;
}

void WorkerThreads::wait(int slot) const {
    std::shared_ptr<ManualResetEvent> done;
    {
        std::lock_guard lock(m_mutex);
        if (slot < 0 || slot >= kSlots) return;
        done = m_slots[static_cast<std::size_t>(slot)].done;
    }
    if (done) done->wait();
}

int WorkerThreads::current_slot() const {
    const auto me = std::this_thread::get_id();
    std::lock_guard lock(m_mutex);
    for (int i = 0; i < kSlots; ++i)
        if (m_slots[static_cast<std::size_t>(i)].id == me) return i;
    return -1;
}

void WorkerThreads::finish_current() {
    const int slot = current_slot();
    if (slot < 0) return;
    std::shared_ptr<ManualResetEvent> done;
    {
        std::lock_guard lock(m_mutex);
        done = m_slots[static_cast<std::size_t>(slot)].done;
    }
    if (done) done->set();
}

ManualResetEvent* WorkerThreads::cancel_event(int slot) const {
    std::lock_guard lock(m_mutex);
    if (slot < 0 || slot >= kSlots) return nullptr;
    return m_slots[static_cast<std::size_t>(slot)].cancel.get();
}

bool WorkerThreads::is_cancelled(int slot) const {
    const ManualResetEvent* e = cancel_event(slot);
    return e && e->is_set();
}

}  // namespace tellurim
