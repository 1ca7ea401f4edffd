// The list thread's workers: every job handed over has run when Drain returns, on the workers'
// threads and several at once; without workers a job runs on the caller.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <set>

#include "core/row_workers.h"

namespace {

std::atomic<int> g_begun{0};
void Begin() { ++g_begun; }

TEST(RowWorkers, DrainWaitsForEveryJobAndJobsRunSideBySide) {
  g_begun = 0;
  RowWorkers workers(3, Begin, nullptr);
  std::atomic<int> done{0}, running{0}, most{0};
  SRWLOCK lock = SRWLOCK_INIT;
  std::set<DWORD> threads;
  for (int i = 0; i < 30; ++i) {
    workers.Run([&] {
      const int now = ++running;
      for (int seen = most; now > seen && !most.compare_exchange_weak(seen, now);) {
      }
      Sleep(5);
      AcquireSRWLockExclusive(&lock);
      threads.insert(GetCurrentThreadId());
      ReleaseSRWLockExclusive(&lock);
      --running;
      ++done;
    });
  }
  workers.Drain();
  EXPECT_EQ(done, 30);
  EXPECT_EQ(threads.count(GetCurrentThreadId()), 0u);
  EXPECT_GE(threads.size(), 2u);
  EXPECT_LE(threads.size(), 3u);
  EXPECT_GE(most, 2);
  EXPECT_EQ(g_begun, 3);

  // Drained twice, and again after more work, it still waits for the new jobs.
  workers.Drain();
  workers.Run([&] {
    Sleep(50);
    ++done;
  });
  workers.Drain();
  EXPECT_EQ(done, 31);
}

TEST(RowWorkers, WithoutWorkersTheCallerRunsTheJob) {
  RowWorkers none(0, nullptr, nullptr);
  DWORD ranOn = 0;
  none.Run([&] { ranOn = GetCurrentThreadId(); });
  EXPECT_EQ(ranOn, GetCurrentThreadId());
  none.Drain();
}

}  // namespace
