#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "base/Locks.h"
#include "base/Singleton.h"

namespace {

TEST(CCriticalSection, IsReentrantAndExcludesOtherThreads) {
  _BaseModule::CCriticalSection lock;
  EXPECT_EQ(lock.Lock(), 1);
  EXPECT_EQ(lock.Lock(), 1);  // same thread again: must not deadlock

  std::atomic<bool> otherGotIt{false};
  std::thread other([&] {
    _BaseModule::CAutoLocker guard(&lock);
    otherGotIt = true;
  });
  ::Sleep(50);
  EXPECT_FALSE(otherGotIt);
  EXPECT_EQ(lock.Unlock(), 1);
  ::Sleep(50);
  EXPECT_FALSE(otherGotIt);  // still held once
  EXPECT_EQ(lock.Unlock(), 1);
  other.join();
  EXPECT_TRUE(otherGotIt);
}

class CountingLocker : public _BaseModule::ILocker {
 public:
  int Lock() override { return ++locks; }
  int Unlock() override { return ++unlocks; }
  int locks = 0, unlocks = 0;
};

TEST(CAutoLocker, PairsLockWithUnlockAndIgnoresNull) {
  CountingLocker counter;
  {
    _BaseModule::CAutoLocker guard(&counter);
    EXPECT_EQ(counter.locks, 1);
    EXPECT_EQ(counter.unlocks, 0);
  }
  EXPECT_EQ(counter.unlocks, 1);
  { _BaseModule::CAutoLocker nothing(nullptr); }
}

struct SlowToBuild {
  static std::atomic<int> constructed;
  SlowToBuild() {
    ++constructed;
    ::Sleep(20);  // widen the window in which a second thread could slip in
  }
};
std::atomic<int> SlowToBuild::constructed{0};

TEST(CSingletonT, ConcurrentFirstUseBuildsOneInstance) {
  std::vector<std::thread> threads;
  std::vector<SlowToBuild*> seen(8, nullptr);
  HANDLE go = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  for (size_t i = 0; i < seen.size(); ++i) {
    threads.emplace_back([&, i] {
      ::WaitForSingleObject(go, INFINITE);
      seen[i] = CSingletonT<SlowToBuild>::Instance();
    });
  }
  ::SetEvent(go);
  for (auto& t : threads) t.join();
  ::CloseHandle(go);

  EXPECT_EQ(SlowToBuild::constructed, 1);
  ASSERT_NE(seen[0], nullptr);
  for (SlowToBuild* p : seen) EXPECT_EQ(p, seen[0]);
  EXPECT_EQ(CSingletonT<SlowToBuild>::Instance(), seen[0]);
}

}  // namespace
