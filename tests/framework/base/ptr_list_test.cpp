#include "framework/base/WDL_PtrList.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Tracked {
  explicit Tracked(int trackId, std::vector<int>* destructionLog)
      : id(trackId), log(destructionLog) {}
  ~Tracked() { log->push_back(id); }
  int id;
  std::vector<int>* log;
};

WDL_PtrList<Tracked>* gObservedList = nullptr;
std::vector<int> gSizesSeenByDisposer;

void RecordingDisposer(void* item) {
  gSizesSeenByDisposer.push_back(gObservedList->GetSize());
  delete static_cast<Tracked*>(item);
}

}  // namespace

TEST(PtrListTest, GetAndSetCheckTheIndex) {
  WDL_PtrList<int> list;
  int a = 1, b = 2;
  EXPECT_EQ(list.Get(0), nullptr);
  list.Add(&a);
  EXPECT_EQ(list.Get(0), &a);
  EXPECT_EQ(list.Get(1), nullptr);
  EXPECT_EQ(list.Get(-1), nullptr);
  EXPECT_EQ(list.Set(1, &b), nullptr);  // index equal to the count
  EXPECT_EQ(list.GetSize(), 1);
  EXPECT_EQ(list.Set(0, &b), &b);
  EXPECT_EQ(list.Get(0), &b);
}

TEST(PtrListTest, InsertClampsTheIndex) {
  WDL_PtrList<int> list;
  int a = 1, b = 2, c = 3, d = 4;
  list.Add(&b);
  list.Insert(-3, &a);
  list.Insert(99, &d);
  list.Insert(2, &c);
  ASSERT_EQ(list.GetSize(), 4);
  EXPECT_EQ(list.Get(0), &a);
  EXPECT_EQ(list.Get(1), &b);
  EXPECT_EQ(list.Get(2), &c);
  EXPECT_EQ(list.Get(3), &d);
  EXPECT_EQ(list.Find(&c), 2);
  EXPECT_EQ(list.Find(nullptr), -1);
}

TEST(PtrListTest, DeleteMovesLaterItemsDownAndDisposesOnlyWhenAsked) {
  std::vector<int> destroyed;
  WDL_PtrList<Tracked> list;
  Tracked* first = list.Add(new Tracked(1, &destroyed));
  list.Add(new Tracked(2, &destroyed));
  list.Add(new Tracked(3, &destroyed));

  list.Delete(1, true);
  EXPECT_EQ(destroyed, std::vector<int>{2});
  ASSERT_EQ(list.GetSize(), 2);
  EXPECT_EQ(list.Get(1)->id, 3);

  list.Delete(0);  // not disposed: the caller still owns it
  EXPECT_EQ(destroyed, std::vector<int>{2});
  EXPECT_EQ(list.GetSize(), 1);
  delete first;

  list.Delete(5, true);
  list.Delete(-1, true);
  EXPECT_EQ(list.GetSize(), 1);
  list.Empty(true);
  EXPECT_EQ(destroyed, (std::vector<int>{2, 1, 3}));
}

TEST(PtrListTest, EmptyDisposesFromLastToFirstAndCutsTheListFirst) {
  std::vector<int> destroyed;
  WDL_PtrList<Tracked> list;
  for (int id = 1; id <= 3; ++id)
    list.Add(new Tracked(id, &destroyed));
  list.Insert(1, nullptr);  // null entries are skipped

  gObservedList = &list;
  gSizesSeenByDisposer.clear();
  list.Empty(true, RecordingDisposer);
  gObservedList = nullptr;

  EXPECT_EQ(destroyed, (std::vector<int>{3, 2, 1}));
  EXPECT_EQ(gSizesSeenByDisposer, (std::vector<int>{3, 2, 0}));
  EXPECT_EQ(list.GetSize(), 0);
}

TEST(PtrListTest, EmptyWithoutDeleteLeavesItemsAlive) {
  std::vector<int> destroyed;
  Tracked item(1, &destroyed);
  WDL_PtrList<Tracked> list;
  list.Add(&item);
  list.Empty();
  EXPECT_EQ(list.GetSize(), 0);
  EXPECT_TRUE(destroyed.empty());
}
