// The component bases' change notification and the timer pool, ticked by
// hand through a tick source of the test's own.
#include <gtest/gtest.h>

#include "foundation/qclclass.h"

namespace treskel {
namespace {

TEST(QclBases, ChangeFiresUnlessLocked) {
    TQclObject obj;
    int changes = 0;
    TObject* sender = nullptr;
    obj.OnChange = [&](TObject* s) {
        ++changes;
        sender = s;
    };
    obj.Changed();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(sender, &obj);
    obj.BeginUpdate();
    obj.Change();
    obj.Change();
    EXPECT_EQ(changes, 1);
    obj.EndUpdate(false);
    EXPECT_EQ(changes, 1);
    obj.BeginUpdate();
    obj.EndUpdate();
    EXPECT_EQ(changes, 2);

    auto comp = MakeOwned<TQclComponent>();
    int compChanges = 0;
    comp->OnChange = [&](TObject* s) {
        EXPECT_EQ(s, comp.get());
        ++compChanges;
    };
    comp->BeginUpdate();
    comp->Changed();
    EXPECT_TRUE(comp->UpdateLocked());
    comp->EndUpdate(true);
    EXPECT_FALSE(comp->UpdateLocked());
    EXPECT_EQ(compChanges, 1);
}

TEST(QclBases, OneInstanceMessages) {
    EXPECT_STREQ(QclEOneInstError("TQclForm", 0).what(),
                 "TQclForm:\rInvalid owner (<>TForm) or second instance on a form");
    EXPECT_STREQ(QclEOneInstError("TQclOneInstance", 1).what(),
                 "TQclOneInstance:\rAlready one TQclOneInstance control in this project!");
    EXPECT_STREQ(QclEOneInstError("X", 7).what(), "");
}

// Records how the pool arms its timer; the test ticks it.
struct FakeTicks : TQclTickSource {
    struct Log {
        int arms = 0;
        int disarms = 0;
        unsigned period = 0;
        bool armed = false;
        bool refuse = false;
    };
    explicit FakeTicks(Log& log) : log(log) {}
    bool Arm(unsigned periodMs) override {
        if (log.refuse) return false;
        ++log.arms;
        log.period = periodMs;
        log.armed = true;
        return true;
    }
    void Disarm() override {
        ++log.disarms;
        log.armed = false;
    }
    Log& log;
};

class TimerPoolTest : public testing::Test {
protected:
    void SetUp() override {
        pool = MakeOwned<TQclTimerPool>();
        // The interval is a loading-time property.
        pool->SetComponentState(TComponentStateItem::csLoading, true);
        pool->SetMinInterval(50);
        pool->SetComponentState(TComponentStateItem::csLoading, false);
        pool->SetTickSource(std::make_unique<FakeTicks>(ticks));
        pool->OnTimer = [this](TObject* sender, uint16_t id, int counter) {
            EXPECT_EQ(sender, pool.get());
            fired.push_back({id, counter});
        };
        QclTimerExceptionHandler() = [this](TObject* sender, std::exception_ptr e) {
            EXPECT_EQ(sender, pool.get());
            try {
                std::rethrow_exception(e);
            } catch (const std::exception& ex) {
                errors.push_back(ex.what());
            }
        };
    }
    void TearDown() override { QclTimerExceptionHandler() = nullptr; }

    // Ticks as the system timer would, `n` times.
    void Run(int n) {
        for (int i = 0; i < n; ++i) pool->TimerMessage();
    }
    std::vector<uint16_t> FiredIds() const {
        std::vector<uint16_t> ids;
        for (auto& f : fired) ids.push_back(f.first);
        return ids;
    }

    FakeTicks::Log ticks;
    OwnedPtr<TQclTimerPool> pool;
    std::vector<std::pair<uint16_t, int>> fired;
    std::vector<std::string> errors;
};

TEST_F(TimerPoolTest, MinIntervalOnlyWhileLoading) {
    EXPECT_EQ(pool->MinInterval(), 50);
    pool->SetMinInterval(100);
    EXPECT_EQ(pool->MinInterval(), 50);
    EXPECT_EQ(MakeOwned<TQclTimerPool>()->MinInterval(), 1000);
}

TEST_F(TimerPoolTest, IntervalsAreMultiplesOfTheTick) {
    pool->AddItem(1, 150, nullptr);
    pool->AddItem(2, 50, nullptr);
    EXPECT_TRUE(ticks.armed);
    EXPECT_EQ(ticks.period, 50u);
    EXPECT_EQ(pool->TickCount(), 1);
    Run(9);
    // Ticks 1..9: the 150 ms item on 3, 6 and 9, the 50 ms item on each.
    std::vector<std::pair<uint16_t, int>> expected;
    for (int tick = 1; tick <= 9; ++tick) {
        if (tick % 3 == 0) expected.push_back({1, tick / 3});
        expected.push_back({2, tick});
    }
    EXPECT_EQ(fired, expected);
}

TEST_F(TimerPoolTest, AddRefusesBadIntervalsAndDuplicates) {
    EXPECT_THROW(pool->AddItem(1, 120, nullptr), Exception);
    EXPECT_THROW(pool->AddItem(1, 40, nullptr), Exception);
    EXPECT_FALSE(ticks.armed);
    try {
        pool->AddItem(1, 0, nullptr);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Interval not compatible with MinInterval property!");
    }
    EXPECT_EQ(pool->AddItem(7, 100, nullptr), 0);
    EXPECT_THROW(pool->AddItem(7, 100, nullptr), Exception);
    EXPECT_EQ(pool->Count(), 1);
}

TEST_F(TimerPoolTest, SetIntervalRules) {
    pool->AddItem(1, 100, nullptr);
    TQclTimerItem* item = pool->GetItemByID(1);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Ratio(), 2);
    item->SetInterval(120);  // not a multiple: ignored
    EXPECT_EQ(item->Interval(), 100);
    EXPECT_EQ(item->Ratio(), 2);
    item->SetInterval(0);  // stands for the pool's tick
    EXPECT_EQ(item->Interval(), 50);
    EXPECT_EQ(item->Ratio(), 1);
    Run(3);
    EXPECT_EQ(item->Counter(), 3);
    item->SetInterval(200);
    EXPECT_EQ(item->Ratio(), 4);
    EXPECT_EQ(item->Counter(), 0);
}

TEST_F(TimerPoolTest, RestartAfterDisable) {
    pool->AddItem(1, 50, nullptr);
    Run(3);
    TQclTimerItem* item = pool->GetItemByID(1);
    EXPECT_EQ(item->Counter(), 3);
    item->SetEnabled(false);
    Run(2);
    EXPECT_EQ(fired.size(), 3u);
    // The system timer keeps running; the item simply sits out.
    EXPECT_TRUE(ticks.armed);
    item->SetEnabled(true);
    Run(1);
    ASSERT_EQ(fired.size(), 4u);
    EXPECT_EQ(fired.back(), (std::pair<uint16_t, int>{1, 1}));
}

TEST_F(TimerPoolTest, LimitStopsAfterTheLastFiring) {
    pool->AddItem(1, 50, nullptr);
    TQclTimerItem* item = pool->GetItemByID(1);
    item->SetLimit(2);
    Run(5);
    EXPECT_EQ(fired, (std::vector<std::pair<uint16_t, int>>{{1, 1}, {1, 2}}));
    EXPECT_FALSE(item->Enabled());
    item->SetLimit(0);
    item->SetEnabled(true);  // a limit of 0 keeps it off
    EXPECT_FALSE(item->Enabled());
}

TEST_F(TimerPoolTest, ItemEventTakesPrecedence) {
    int own = 0;
    TObject* sender = nullptr;
    pool->AddItem(1, 50, [&](TObject* s) {
        ++own;
        sender = s;
    });
    pool->AddItem(2, 50, nullptr);
    Run(2);
    EXPECT_EQ(own, 2);
    EXPECT_EQ(sender, pool.get());
    EXPECT_EQ(FiredIds(), (std::vector<uint16_t>{2, 2}));
}

TEST_F(TimerPoolTest, ARaisingEventStopsNothingElse) {
    pool->AddItem(1, 50, [](TObject*) { throw Exception("boom"); });
    pool->AddItem(2, 50, nullptr);
    Run(3);
    EXPECT_EQ(errors, (std::vector<std::string>{"boom", "boom", "boom"}));
    EXPECT_EQ(FiredIds(), (std::vector<uint16_t>{2, 2, 2}));
    EXPECT_EQ(pool->TickCount(), 4);
}

TEST_F(TimerPoolTest, RemovingFromInsideAnEvent) {
    int selfFired = 0;
    pool->AddItem(1, 50, [&](TObject*) {
        ++selfFired;
        pool->RemoveItem(1);  // the item whose event is running
        pool->RemoveItem(3);  // one later in the same tick
    });
    pool->AddItem(2, 50, nullptr);
    pool->AddItem(3, 50, nullptr);
    Run(3);
    EXPECT_EQ(selfFired, 1);
    EXPECT_EQ(FiredIds(), (std::vector<uint16_t>{2, 2, 2}));
    EXPECT_EQ(pool->Count(), 1);
    EXPECT_EQ(pool->IndexOfID(1), -1);
}

TEST_F(TimerPoolTest, AddingAndClearingInsideAnEvent) {
    pool->AddItem(1, 50, [&](TObject*) {
        if (pool->IndexOfID(2) < 0) pool->AddItem(2, 50, nullptr);
    });
    Run(1);
    EXPECT_TRUE(fired.empty());  // the new item waits for the next tick
    Run(1);
    EXPECT_EQ(FiredIds(), (std::vector<uint16_t>{2}));
    pool->GetItemByID(1)->OnTimer = [&](TObject*) { pool->Clear(); };
    Run(2);
    EXPECT_EQ(pool->Count(), 0);
    EXPECT_FALSE(ticks.armed);
}

TEST_F(TimerPoolTest, RemovingTheLastItemStopsTheTimer) {
    pool->AddItem(1, 50, nullptr);
    pool->AddItem(2, 100, nullptr);
    pool->RemoveItem(1);
    EXPECT_TRUE(ticks.armed);
    pool->RemoveItem(99);  // unknown: nothing
    pool->RemoveItem(2);
    EXPECT_FALSE(ticks.armed);
    EXPECT_FALSE(pool->Active());
}

TEST_F(TimerPoolTest, NestedTickIsSkipped) {
    int outer = 0;
    pool->AddItem(1, 50, [&](TObject*) {
        ++outer;
        pool->TimerMessage();  // an event that pumps messages
    });
    Run(2);
    EXPECT_EQ(outer, 2);
    EXPECT_EQ(pool->TickCount(), 3);
}

TEST_F(TimerPoolTest, NoSystemTimerLeft) {
    ticks.refuse = true;
    try {
        pool->AddItem(1, 50, nullptr);
        FAIL();
    } catch (const EOutOfResources& e) {
        EXPECT_EQ(e.Message(), "Not enough timers available");
    }
}

TEST_F(TimerPoolTest, ItemNeedsAPool) {
    try {
        TQclTimerItem item(nullptr, 1);
        FAIL();
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "TQclTimerItem: Invalid Owner or List");
    }
}

}  // namespace
}  // namespace treskel
