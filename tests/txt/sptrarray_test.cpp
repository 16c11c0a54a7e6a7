#include "txt/sptrarray.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

namespace {

// Distinct pointer values to store.
char pool[64];
void* P(int i) {
    return &pool[i];
}

std::vector<void*> contents(const SPtrArray& a) {
    std::vector<void*> v;
    for (int i = 0; i < a.GetSize(); ++i) v.push_back(a.GetAt(i));
    return v;
}

void fill(SPtrArray& a, std::initializer_list<int> ids) {
    for (int id : ids) a.Add(P(id));
}

int ByCharValue(const void* l, const void* r) {
    char a = **static_cast<char*const*>(l), b = **static_cast<char*const*>(r);
    return (a > b) - (a < b);
}

TEST(SPtrArray, ClassRecord) {
    SPtrArray a;
    const CRuntimeClass* c = a.GetRuntimeClass();
    EXPECT_EQ(c, RUNTIME_CLASS(SPtrArray));
    EXPECT_STREQ(c->m_lpszClassName, "SPtrArray");
    EXPECT_EQ(c->m_nObjectSize, int(sizeof(SPtrArray)));
    EXPECT_EQ(c->m_wSchema, 0xFFFFu);
    EXPECT_EQ(c->CreateObject(), nullptr);
    EXPECT_EQ(c->_GetBaseClass(), RUNTIME_CLASS(CObject));
    EXPECT_EQ(c->_GetBaseClass()->_GetBaseClass(), nullptr);
    EXPECT_TRUE(a.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(RUNTIME_CLASS(CObject)->IsDerivedFrom(RUNTIME_CLASS(SPtrArray)));
    // Through the root class, as a caller holding a CObject would.
    CObject* o = new SPtrArray;
    EXPECT_STREQ(o->GetRuntimeClass()->m_lpszClassName, "SPtrArray");
    delete o; // the virtual destructor frees the slots (checked by the sanitizer)
}

TEST(SPtrArray, Fresh) {
    SPtrArray a;
    EXPECT_EQ(a.GetSize(), 0);
    EXPECT_EQ(a.GetUpperBound(), -1);
    EXPECT_EQ(a.GetData(), nullptr);
    EXPECT_EQ(a.GetPtrIndex(P(0)), -1);
    EXPECT_EQ(a.Add(P(1)), 0);
    EXPECT_NE(a.GetData(), nullptr);
    EXPECT_EQ(a.GetUpperBound(), 0);
}

// Capacity after each Add, observed as the points where the storage moves.
std::vector<int> GrowthSteps(SPtrArray& a, int adds) {
    std::vector<int> caps;
    void** last = nullptr;
    for (int i = 0; i < adds; ++i) {
        a.Add(P(0));
        if (a.GetData() != last) {
            last = a.GetData();
            caps.push_back(a.GetSize());
        }
    }
    return caps;
}

TEST(SPtrArray, AutomaticGrowthSequence) {
    // Capacity is visible indirectly: writing up to the capacity through
    // ElementAt is safe (the sanitizer would flag a slot beyond it), and the
    // storage moves exactly when the size passes it.
    SPtrArray a;
    std::vector<int> moves = GrowthSteps(a, 53);
    // The storage moves on the 1st, 11th, 15th ... add: capacities 10, 14,
    // 18, 22, 26, 30, 34, 38, 42, 47, 52, then 58.
    EXPECT_EQ(moves, (std::vector<int>{1, 11, 15, 19, 23, 27, 31, 35, 39, 43, 48, 53}));
}

TEST(SPtrArray, GrowthStepCappedAt1024) {
    SPtrArray a;
    ASSERT_EQ(a.SetSize(8192), 0);
    for (int i = 0; i < 8192; ++i) a.Add(P(0));
    void** before = a.GetData();
    a.Add(P(1));
    ASSERT_NE(a.GetData(), before);
    before = a.GetData();
    // 8192 + 1024 slots: adds up to 9216 stay in place.
    for (int i = a.GetSize(); i < 9216; ++i) a.Add(P(0));
    EXPECT_EQ(a.GetData(), before);
    a.Add(P(2));
    EXPECT_NE(a.GetData(), before);
}

TEST(SPtrArray, SetSizeInitGrowBy) {
    SPtrArray a;
    a.SetSizeInit(0, 100);
    std::vector<int> moves = GrowthSteps(a, 111);
    EXPECT_EQ(moves, (std::vector<int>{1, 11, 111})); // 10, then 110, then 210
    SPtrArray b;
    b.SetSizeInit(3, -1); // initial capacity 3, grow-by stays automatic
    EXPECT_EQ(GrowthSteps(b, 8), (std::vector<int>{1, 4, 8})); // 3, 7, 11
}

TEST(SPtrArray, SetSizeReservesOnly) {
    SPtrArray a;
    fill(a, {0, 1, 2, 3, 4, 5, 6, 7});
    void** data = a.GetData();
    EXPECT_EQ(a.SetSize(5), 0);
    EXPECT_EQ(a.GetSize(), 8);
    EXPECT_EQ(a.GetData(), data);
    EXPECT_EQ(a.SetSize(0), 0);
    EXPECT_EQ(a.GetSize(), 0);
    EXPECT_EQ(a.GetData(), nullptr);

    SPtrArray b;
    EXPECT_EQ(b.SetSize(50), 0);
    EXPECT_EQ(b.GetSize(), 0);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(b.GetData()[i], nullptr);
    b.RemoveAll();
    // The raised initial capacity stays: the next first allocation is 50.
    EXPECT_EQ(GrowthSteps(b, 52), (std::vector<int>{1, 51}));
}

TEST(SPtrArray, SetAtGrow) {
    SPtrArray a;
    ASSERT_EQ(a.SetAtGrow(20, P(9)), 0);
    EXPECT_EQ(a.GetSize(), 21);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(a[i], nullptr) << i;
    EXPECT_EQ(a[20], P(9));
    // Capacity is exactly 21: the next add moves the storage.
    void** data = a.GetData();
    a.Add(P(1));
    EXPECT_NE(a.GetData(), data);
    // Storing below the size leaves the size alone.
    a.SetAtGrow(3, P(3));
    EXPECT_EQ(a.GetSize(), 22);
    EXPECT_EQ(a[3], P(3));
}

TEST(SPtrArray, VacatedSlotsKeepValuesAndGapsStay) {
    SPtrArray a;
    fill(a, {1, 2, 3, 4});
    a.RemoveAt(2, 2);
    a.SetAtGrow(3, P(9)); // slot 2 was vacated and is not cleared
    EXPECT_EQ(contents(a), (std::vector<void*>{P(1), P(2), P(3), P(9)}));
}

TEST(SPtrArray, InsertAtCases) {
    struct Row {
        const char* name;
        int at, count;
        std::vector<void*> expect;
    } rows[] = {
        {"middle", 1, 2, {P(1), P(7), P(7), P(2), P(3)}},
        {"front", 0, 1, {P(7), P(1), P(2), P(3)}},
        {"end", 3, 2, {P(1), P(2), P(3), P(7), P(7)}},
        {"behind_end", 7, 1, {P(1), P(2), P(3), nullptr, nullptr, nullptr, nullptr, P(7)}},
        {"zero_count", 1, 0, {P(1), P(2), P(3)}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        SPtrArray a;
        fill(a, {1, 2, 3});
        EXPECT_EQ(a.InsertAt(r.at, P(7), r.count), 0);
        EXPECT_EQ(contents(a), r.expect);
    }
}

TEST(SPtrArray, InsertAtGrowsAcrossCapacity) {
    SPtrArray a;
    for (int i = 0; i < 10; ++i) a.Add(P(i));
    ASSERT_EQ(a.InsertAt(5, P(40), 30), 0);
    ASSERT_EQ(a.GetSize(), 40);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(a[i], P(i));
    for (int i = 5; i < 35; ++i) EXPECT_EQ(a[i], P(40));
    for (int i = 35; i < 40; ++i) EXPECT_EQ(a[i], P(i - 30));
}

TEST(SPtrArray, InsertArray) {
    SPtrArray a, b, empty;
    fill(a, {1, 2, 3});
    fill(b, {8, 9});
    EXPECT_EQ(a.InsertAt(1, &empty), 0);
    EXPECT_EQ(a.GetSize(), 3);
    EXPECT_EQ(a.InsertAt(1, &b), 0);
    EXPECT_EQ(contents(a), (std::vector<void*>{P(1), P(8), P(9), P(2), P(3)}));
    EXPECT_EQ(a.InsertAt(0, &a), 0); // into itself
    EXPECT_EQ(contents(a),
              (std::vector<void*>{P(1), P(8), P(9), P(2), P(3), P(1), P(8), P(9), P(2), P(3)}));
}

TEST(SPtrArray, RemoveAt) {
    SPtrArray a;
    fill(a, {1, 2, 3});
    void** data = a.GetData();
    a.RemoveAt(0, 3);
    EXPECT_EQ(a.GetSize(), 0);
    EXPECT_EQ(a.GetData(), data);

    fill(a, {1, 2, 3, 4});
    a.RemoveAt(1);
    EXPECT_EQ(contents(a), (std::vector<void*>{P(1), P(3), P(4)}));
    // Ranges outside the elements change nothing.
    a.RemoveAt(-1, 1);
    a.RemoveAt(2, 2);
    a.RemoveAt(3, 1);
    a.RemoveAt(0, -1);
    a.RemoveAt(1, INT_MAX);
    EXPECT_EQ(contents(a), (std::vector<void*>{P(1), P(3), P(4)}));
}

TEST(SPtrArray, AppendAndCopy) {
    SPtrArray a, b, empty;
    fill(a, {1, 2, 3});
    fill(b, {4, 5});
    EXPECT_EQ(a.Append(b), 3);
    EXPECT_EQ(contents(a), (std::vector<void*>{P(1), P(2), P(3), P(4), P(5)}));
    EXPECT_EQ(a.Append(a), 5);
    EXPECT_EQ(a.GetSize(), 10);

    SPtrArray c;
    EXPECT_EQ(c.Append(empty), 0);
    EXPECT_EQ(c.GetData(), nullptr);

    EXPECT_EQ(c.Copy(b), 0);
    EXPECT_EQ(contents(c), contents(b));
    EXPECT_EQ(c.Copy(empty), 0);
    EXPECT_EQ(c.GetSize(), 0);
    EXPECT_EQ(c.GetData(), nullptr);
}

TEST(SPtrArray, FreeExtra) {
    SPtrArray a;
    fill(a, {1, 2, 3});
    a.FreeExtra();
    EXPECT_EQ(contents(a), (std::vector<void*>{P(1), P(2), P(3)}));
    void** data = a.GetData();
    a.Add(P(4)); // capacity was trimmed to 3: the storage moves
    EXPECT_NE(a.GetData(), data);
    a.RemoveAt(0, 4);
    a.FreeExtra();
    EXPECT_EQ(a.GetData(), nullptr);
}

TEST(SPtrArray, DropData) {
    SPtrArray a;
    a.SetSizeInit(0, 7);
    fill(a, {1, 2});
    void** taken = a.GetData();
    a.DropData();
    EXPECT_EQ(a.GetSize(), 0);
    EXPECT_EQ(a.GetData(), nullptr);
    EXPECT_EQ(taken[1], P(2));
    SPtrArray::FreeData(taken);
    // Grow-by and initial capacity are back to their defaults.
    EXPECT_EQ(GrowthSteps(a, 15), (std::vector<int>{1, 11, 15}));
}

TEST(SPtrArray, GetPtrIndex) {
    SPtrArray a;
    fill(a, {1, 2, 1});
    EXPECT_EQ(a.GetPtrIndex(P(1)), 0);
    EXPECT_EQ(a.GetPtrIndex(P(2)), 1);
    EXPECT_EQ(a.GetPtrIndex(P(5)), -1);
}

TEST(SPtrArray, SortAndSortInto) {
    std::strcpy(pool, "dbca");
    SPtrArray a, target, wrong;
    fill(a, {0, 1, 2, 3});
    fill(target, {9, 9, 9, 9});
    fill(wrong, {9, 9, 9});
    a.SortInto(ByCharValue, &wrong);
    EXPECT_EQ(contents(wrong), (std::vector<void*>{P(9), P(9), P(9)}));
    a.SortInto(ByCharValue, &target);
    EXPECT_EQ(contents(target), (std::vector<void*>{P(3), P(1), P(2), P(0)}));
    EXPECT_EQ(contents(a), (std::vector<void*>{P(0), P(1), P(2), P(3)}));
    a.Sort(ByCharValue);
    EXPECT_EQ(contents(a), (std::vector<void*>{P(3), P(1), P(2), P(0)}));

    SPtrArray one, oneTarget;
    fill(one, {0});
    fill(oneTarget, {9});
    one.SortInto(ByCharValue, &oneTarget);
    EXPECT_EQ(oneTarget[0], P(9));
}

TEST(SPtrArray, OverflowingRequestsFail) {
    SPtrArray a;
    fill(a, {1, 2, 3});
    EXPECT_EQ(a.SetSize(-1), -1);
    EXPECT_EQ(a.SetAtGrow(-1, P(1)), -1);
    EXPECT_EQ(a.SetAtGrow(INT_MAX, P(1)), -1); // i + 1 would wrap
    EXPECT_EQ(a.InsertAt(1, P(1), INT_MAX), -1);
    EXPECT_EQ(a.InsertAt(INT_MAX, P(1), 1), -1);
    EXPECT_EQ(a.InsertAt(INT_MAX - 1, P(1), 2), -1);
    EXPECT_EQ(a.InsertAt(-1, P(1), 1), -1);
    EXPECT_EQ(a.InsertAt(0, P(1), -1), -1);
    EXPECT_EQ(contents(a), (std::vector<void*>{P(1), P(2), P(3)}));
}

} // namespace
