// Multimedia timers: arming, firing on the test's thread or a thread of its own, one-shots spent
// as they fire, periodic timers staying armed, kills, refusals and the kill hook.
#include <atomic>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

struct Fired {
  std::atomic<int> count{0};
  std::atomic<UINT> lastId{0};
  std::thread::id thread;
};

void Callback(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  auto* fired = reinterpret_cast<Fired*>(user);
  fired->lastId = id;
  fired->thread = std::this_thread::get_id();
  ++fired->count;
}

class MmTimerTest : public SandboxTest {};

TEST_F(MmTimerTest, OneShotsAreSpentAsTheyFire) {
  Fired fired;
  const UINT id = timeSetEvent(100, 10, Callback, reinterpret_cast<DWORD_PTR>(&fired), TIME_ONESHOT);
  ASSERT_NE(id, 0u);
  const std::vector<SimMmTimer> armed = SimArmedMmTimers();
  ASSERT_EQ(armed.size(), 1u);
  EXPECT_EQ(armed[0].id, id);
  EXPECT_EQ(armed[0].delay, 100u);
  EXPECT_EQ(armed[0].flags, static_cast<UINT>(TIME_ONESHOT));
  EXPECT_TRUE(SimFireMmTimer(id));
  EXPECT_EQ(fired.count, 1);
  EXPECT_EQ(fired.lastId, id);
  EXPECT_EQ(fired.thread, std::this_thread::get_id());
  // Spent: it neither fires again nor can be killed.
  EXPECT_FALSE(SimFireMmTimer(id));
  EXPECT_EQ(timeKillEvent(id), static_cast<UINT>(MMSYSERR_INVALPARAM));
  EXPECT_EQ(SimLiveMmTimers(), 0);
}

TEST_F(MmTimerTest, PeriodicTimersStayArmedUntilKilled) {
  Fired fired;
  const UINT id = timeSetEvent(50, 10, Callback, reinterpret_cast<DWORD_PTR>(&fired), TIME_PERIODIC);
  ASSERT_NE(id, 0u);
  EXPECT_TRUE(SimFireMmTimer(id));
  EXPECT_TRUE(SimFireMmTimerOnThread(id));
  SimJoinMmTimerThreads();
  EXPECT_EQ(fired.count, 2);
  EXPECT_NE(fired.thread, std::this_thread::get_id());
  EXPECT_EQ(timeKillEvent(id), static_cast<UINT>(TIMERR_NOERROR));
  EXPECT_EQ(timeKillEvent(id), static_cast<UINT>(MMSYSERR_INVALPARAM));
  EXPECT_FALSE(SimFireMmTimer(id));
}

TEST_F(MmTimerTest, RefusedArmingsAndTheKillHook) {
  Fired fired;
  const auto user = reinterpret_cast<DWORD_PTR>(&fired);
  EXPECT_EQ(timeSetEvent(100, 10, nullptr, user, TIME_ONESHOT), 0u);
  EXPECT_EQ(timeSetEvent(0, 10, Callback, user, TIME_ONESHOT), 0u);
  EXPECT_EQ(timeSetEvent(100, 10, Callback, user, 0x100), 0u);
  SimFailCall("timeSetEvent", 0);
  EXPECT_EQ(timeSetEvent(100, 10, Callback, user, TIME_ONESHOT), 0u);
  EXPECT_EQ(SimLiveMmTimers(), 0);
  // The hook runs before the kill decides: a timer that fires there is spent when killed.
  const UINT id = timeSetEvent(100, 10, Callback, user, TIME_ONESHOT);
  std::vector<UINT> seen;
  SimOnMmTimerKill([&](UINT killed) {
    seen.push_back(killed);
    SimFireMmTimerOnThread(killed);
  });
  EXPECT_EQ(timeKillEvent(id), static_cast<UINT>(MMSYSERR_INVALPARAM));
  SimOnMmTimerKill(nullptr);
  SimJoinMmTimerThreads();
  EXPECT_EQ(seen, std::vector<UINT>{id});
  EXPECT_EQ(fired.count, 1);
}

}  // namespace
