#include "core/worker_threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace tellurim {
namespace {

// A worker that runs until its release event is set.
struct Blocked { ManualResetEvent release; std::atomic<int> ran{0}; };
void blocked_routine(void* context) {
    auto* b = static_cast<Blocked*>(context);
    b->ran.fetch_add(1);
    b->release.wait();
}

void quick_routine(void* context) { static_cast<std::atomic<int>*>(context)->fetch_add(1); }

// Empty slots and indices out of range are harmless; a full table refuses the next start.
TEST(WorkerThreads, EmptyAndFullTables) {
    Blocked b;
    {
        WorkerThreads t;
        EXPECT_EQ(t.cancel_event(0), nullptr);
        t.wait(0);  // no events: returns at once
        t.signal_cancel(255);
        t.signal_cancel(-1);
        for (int i = 0; i < WorkerThreads::kSlots; ++i) ASSERT_EQ(t.start(blocked_routine, &b), i);
        EXPECT_EQ(t.start(blocked_routine, &b), -1);
        EXPECT_TRUE(t.any_running());
        for (int i = 0; i < WorkerThreads::kSlots; ++i) EXPECT_FALSE(t.cancel_event(i)->is_set()) << i;
        b.release.set();
        for (int i = 0; i < WorkerThreads::kSlots; ++i) t.wait(i);
        EXPECT_FALSE(t.any_running());
    }
    // the refused start ran nothing
    EXPECT_EQ(b.ran.load(), WorkerThreads::kSlots);
}

TEST(WorkerThreads, LowestFinishedSlotIsReusedFirst) {
    WorkerThreads t;
    Blocked b0, b1, b2, b3;
    ASSERT_EQ(t.start(blocked_routine, &b0), 0);
    ASSERT_EQ(t.start(blocked_routine, &b1), 1);
    ASSERT_EQ(t.start(blocked_routine, &b2), 2);
    // slots 1 and 2 finish, slot 0 keeps running
    b2.release.set();
    t.wait(2);
    b1.release.set();
    t.wait(1);
    EXPECT_TRUE(t.any_running());
    EXPECT_EQ(t.start(blocked_routine, &b3), 1);
    std::atomic<int> count{0};
    const int next = t.start(quick_routine, &count);
    EXPECT_EQ(next, 2);
    t.wait(next);
    EXPECT_EQ(count.load(), 1);
    b0.release.set();
    b3.release.set();
    t.wait(0);
    t.wait(1);
    EXPECT_FALSE(t.any_running());
}

// A worker finds its own slot by its thread identifier.
struct SlotProbe { WorkerThreads* table; std::atomic<int> slot{-2}; };
void probe_routine(void* context) {
    auto* p = static_cast<SlotProbe*>(context);
    p->slot = p->table->current_slot();
}

// A cancel reaches only its slot; a worker finds its own slot, a thread outside the table
// none, and finishing from outside the table signals nothing.
TEST(WorkerThreads, SlotsBelongToTheirOwnWorkers) {
    WorkerThreads t;
    Blocked a, b;
    ASSERT_EQ(t.start(blocked_routine, &a), 0);
    ASSERT_EQ(t.start(blocked_routine, &b), 1);
    t.signal_cancel(1);
    EXPECT_FALSE(t.is_cancelled(0));
    EXPECT_TRUE(t.is_cancelled(1));
    b.release.set();
    t.wait(1);
    SlotProbe probe{&t};
    ASSERT_EQ(t.start(probe_routine, &probe), 1);
    t.wait(1);
    EXPECT_EQ(probe.slot.load(), 1);
    int found = -2;
    std::thread outsider([&] {
        found = t.current_slot();
        t.finish_current();
    });
    outsider.join();
    EXPECT_EQ(found, -1);
    EXPECT_TRUE(t.any_running());  // slot 0's done event was not touched
    a.release.set();
    t.wait(0);
    EXPECT_FALSE(t.any_running());
}

// A kept thread runs the next routine of its slot: the same thread, found in the same slot,
// with fresh events; a busy kept slot is passed over like any running one.
struct Identity {
    explicit Identity(WorkerThreads* t) : table(t) {}
    WorkerThreads* table;
    int runs = 0;  // routines run so far on the thread, this one included
    int slot = -2;
    bool cancelled = true;
};
// (thread identifiers may be reused once a thread has ended; a count of the thread's own
// runs tells a kept thread from a new one)
thread_local int t_runs = 0;
void identity_routine(void* context) {
    auto* p = static_cast<Identity*>(context);
    p->runs = ++t_runs;
    p->slot = p->table->current_slot();
    p->cancelled = p->table->is_cancelled(p->slot);
}

TEST(WorkerThreads, KeptThreadTakesTheNextRoutineOfItsSlot) {
    WorkerThreads t;
    Identity first(&t), second(&t), third(&t);
    ASSERT_EQ(t.start(WorkerThreads::kKeepThread, identity_routine, &first), 0);
    t.wait(0);
    EXPECT_FALSE(t.any_running());
    t.signal_cancel(0);  // on the finished run: the next run gets a new cancel event
    ASSERT_EQ(t.start(WorkerThreads::kKeepThread, identity_routine, &second), 0);
    t.wait(0);
    EXPECT_EQ(first.runs, 1);
    EXPECT_EQ(second.runs, 2);
    EXPECT_EQ(second.slot, 0);
    EXPECT_FALSE(second.cancelled);

    Blocked b;
    ASSERT_EQ(t.start(WorkerThreads::kKeepThread, blocked_routine, &b), 0);
    ASSERT_EQ(t.start(identity_routine, &third), 1);  // slot 0 is busy
    t.wait(1);
    EXPECT_EQ(third.runs, 1);
    EXPECT_EQ(third.slot, 1);
    b.release.set();
    t.wait(0);
    // a routine started without the flag on the kept thread ends it: the next start creates one
    Identity fourth(&t), fifth(&t);
    ASSERT_EQ(t.start(identity_routine, &fourth), 0);
    t.wait(0);
    EXPECT_EQ(fourth.runs, 3);
    ASSERT_EQ(t.start(identity_routine, &fifth), 0);
    t.wait(0);
    EXPECT_EQ(fifth.runs, 1);
}

}  // namespace
}  // namespace tellurim
