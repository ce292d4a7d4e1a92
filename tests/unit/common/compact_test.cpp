#include "common/compact.h"

#include "common/law.h"
#include "common/petri_net.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using orv::Compact_Vector;
using orv::Small_Vector;
using orv::Text;

int value(const std::unique_ptr<int>& p) { return *p; }
std::string value(const std::shared_ptr<std::string>& p) { return *p; }
double value(double d) { return d; }
// An arc's fields, so that any slip of the list's mark shows as a change.
std::string value(const orv::pn::LINK_LIST& a) {
  return std::to_string(a.Dest) + "/" + std::to_string(a.Link_Type) + "/" + a.Data.c_str();
}
orv::pn::LINK_LIST arc(int n) {
  orv::pn::LINK_LIST a;
  a.Dest = n;
  a.Weight = n + 1;
  a.Link_Type = static_cast<std::int8_t>(n % 3);
  a.Data = std::string(static_cast<size_t>(n % 20), 'd');
  return a;
}

template <class C, class Make>
void same_as_vector(Make make) {
  using T = typename C::value_type;
  // Random edits applied to both: any slip in moving, growing or
  // destroying elements shows as a difference (or, under the sanitizers,
  // as a use of freed memory).
  std::mt19937 rng(7);
  C c;
  std::vector<T> v;
  auto equal = [&](int step) {
    ASSERT_EQ(c.size(), v.size()) << "step " << step;
    for (size_t i = 0; i < v.size(); ++i) ASSERT_EQ(value(c[i]), value(v[i])) << "step " << step << " at " << i;
  };
  for (int step = 0; step < 3000; ++step) {
    int n = static_cast<int>(rng() % 1000);
    switch (rng() % 8) {
      case 0: case 1: case 2:
        c.push_back(make(n));
        v.push_back(make(n));
        break;
      case 3:
        if (!v.empty()) {
          size_t a = rng() % v.size(), b = a + rng() % (v.size() - a + 1);
          c.erase(c.begin() + a, c.begin() + b);
          v.erase(v.begin() + static_cast<long>(a), v.begin() + static_cast<long>(b));
        }
        break;
      case 4: {
        size_t at = v.empty() ? 0 : rng() % (v.size() + 1);
        c.insert(c.begin() + at, make(n));
        v.insert(v.begin() + static_cast<long>(at), make(n));
        break;
      }
      case 5:
        if (!v.empty()) {
          c.pop_back();
          v.pop_back();
        }
        break;
      case 6:
        c.shrink_to_fit();
        break;
      case 7: {
        C moved = std::move(c);
        c = std::move(moved);
        if (rng() % 50 == 0) {
          c.clear();
          v.clear();
        }
        break;
      }
    }
    equal(step);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

TEST(CompactVector, BehavesAsAVectorUnderRandomEdits) {
  same_as_vector<Compact_Vector<std::unique_ptr<int>>>([](int n) { return std::make_unique<int>(n); });
  same_as_vector<Small_Vector<double, 1>>([](int n) { return n * 0.5; });
  same_as_vector<Small_Vector<double, 3>>([](int n) { return n * 0.25; });
  same_as_vector<Small_Vector<std::unique_ptr<int>, 1>>([](int n) { return std::make_unique<int>(n); });
  same_as_vector<Small_Vector<std::shared_ptr<std::string>, 2>>(
      [](int n) { return std::make_shared<std::string>(std::string(static_cast<size_t>(n % 40), 'y')); });
  same_as_vector<Compact_Vector<std::shared_ptr<std::string>>>(
      [](int n) { return std::make_shared<std::string>(std::string(static_cast<size_t>(n % 40), 'x')); });
  same_as_vector<orv::pn::ARC_LIST>(arc);
}

TEST(CompactVector, RecordsKeepTheirSize) {
  // A net holds millions of these: an arc list is no larger than its one
  // arc, and a law's letter sits in the tail of its parameters.
  static_assert(sizeof(orv::pn::ARC_LIST) == sizeof(orv::pn::LINK_LIST));
  static_assert(sizeof(orv::LAW_DESC) == 24);
  orv::LAW_DESC law;
  law.Name = 'H';
  for (int i = 0; i < 100; ++i) law.Parameters.push_back(i);
  law.Parameters.resize(1);
  law.Parameters.shrink_to_fit();
  law.Parameters = orv::Law_Values(3, 2.0);
  orv::LAW_DESC moved = std::move(law);
  EXPECT_EQ(moved.Name, 'H');
  EXPECT_EQ(moved.Parameters, (std::vector<double>{2.0, 2.0, 2.0}));
  // An arc list going from one arc to many and back, through every path.
  orv::pn::ARC_LIST l;
  EXPECT_TRUE(l.empty());
  l.reserve(1);
  l.push_back(arc(2));
  EXPECT_EQ(l.capacity(), 1u);
  l.insert(l.begin(), arc(4));
  l.resize(1);
  EXPECT_EQ(value(l[0]), "4/1/dddd");
  l.shrink_to_fit();
  EXPECT_EQ(l.capacity(), 1u);
  EXPECT_EQ(value(l.front()), "4/1/dddd");
  l.pop_back();
  EXPECT_TRUE(l.empty());
  l.reserve(3);
  l.push_back(arc(5));
  orv::pn::ARC_LIST m;
  m = std::move(l);
  EXPECT_TRUE(l.empty());
  m.shrink_to_fit();
  EXPECT_EQ(m.capacity(), 1u);
  EXPECT_EQ(value(m[0]), "5/2/ddddd");
  m.swap(l);
  EXPECT_TRUE(m.empty());
  EXPECT_EQ(value(l[0]), "5/2/ddddd");
}

TEST(CompactVector, CopiesAssignsAndComparesWithVectors) {
  Compact_Vector<double> a(3, 1.5);
  EXPECT_EQ(a, (std::vector<double>{1.5, 1.5, 1.5}));
  Compact_Vector<double> b = a;
  b[0] = 2.0;
  EXPECT_EQ(a[0], 1.5);  // a copy owns its elements
  b = std::vector<double>{4.0, 5.0};
  EXPECT_EQ(b, (std::vector<double>{4.0, 5.0}));
  b = {};
  EXPECT_TRUE(b.empty());
  EXPECT_EQ(b.begin(), b.end());
  b.resize(2);
  EXPECT_EQ(b, (std::vector<double>{0.0, 0.0}));
  b.assign(0, 9.0);
  EXPECT_TRUE(b.empty());
  std::vector<double> back(a);
  EXPECT_EQ(back, (std::vector<double>{1.5, 1.5, 1.5}));
  // Its own element, appended as it grows.
  Compact_Vector<std::string> s;
  s.push_back(std::string(50, 'q'));
  for (int i = 0; i < 6; ++i) s.push_back(s[0]);
  for (const auto& x : s) EXPECT_EQ(x, std::string(50, 'q'));
  // A law's values: the first one in place, more on the heap, and back.
  Small_Vector<double, 1> p(1, 0.0);
  EXPECT_EQ(p, std::vector<double>{0.0});
  p.assign(5, 2.0);
  Small_Vector<double, 1> q = p;
  p.resize(1);
  p.shrink_to_fit();
  EXPECT_EQ(p, std::vector<double>{2.0});
  EXPECT_EQ(q, (std::vector<double>{2.0, 2.0, 2.0, 2.0, 2.0}));
  p.insert(p.begin(), 7.0);
  EXPECT_EQ(p, (std::vector<double>{7.0, 2.0}));
}

TEST(CompactText, HoldsWhatWasAssignedUpToANul) {
  struct Case {
    std::string in;
    const char* held;
  };
  const Case cases[] = {{"", ""}, {"t1", "t1"}, {"t1234567", "t1234567"},
                        {std::string(300, 'n'), nullptr}, {std::string("a\0b", 3), "a"}};
  for (const Case& c : cases) {
    Text t;
    t = c.in;
    const std::string want = c.held ? c.held : c.in;
    EXPECT_EQ(std::string(t), want);
    EXPECT_STREQ(t.c_str(), want.c_str());
    EXPECT_EQ(t.size(), want.size());
    EXPECT_EQ(t.empty(), want.empty());
    Text copy = t;
    t = "other";
    EXPECT_EQ(copy, want);
    EXPECT_EQ("<" + copy + ">", "<" + want + ">");
  }
  Text name("_Dummy_Place7");
  EXPECT_EQ(name.compare(0, 12, "_Dummy_Place"), 0);
  EXPECT_NE(Text("x").compare(0, 12, "_Dummy_Place"), 0);
}

TEST(CompactVectorDeathTest, AnArcWithTheListsMarkIsRefused) {
#ifdef NDEBUG
  GTEST_SKIP() << "checked in debug builds";
#endif
  // Taken in, such an arc would read as a heap block: a wild pointer.
  auto bad = [] {
    orv::pn::LINK_LIST a = arc(4);
    a.Link_Type = static_cast<std::int8_t>(orv::Spare<orv::pn::LINK_LIST>::value);
    return a;
  };
  EXPECT_DEATH(
      {
        orv::pn::ARC_LIST l;
        l.push_back(bad());
      },
      "unmarked");
  EXPECT_DEATH(
      {
        orv::pn::ARC_LIST l;
        l.push_back(arc(1));
        l.insert(l.begin(), bad());
      },
      "unmarked");
}

size_t heap_in_use() { return mallinfo2().uordblks + mallinfo2().hblkhd; }

TEST(CompactPool, KeepsOneChunkOnceEmptyAndReusesFreedBlocks) {
  // Pools that kept all their chunks would make a second read look free;
  // one that kept none would go to the heap for every record taken and
  // given back alone.
  std::vector<void*> blocks;
  blocks.reserve(20000);
  const size_t before = heap_in_use();
  for (int i = 0; i < 20000; ++i) blocks.push_back(orv::Take_Bytes(24));
#if !defined(__SANITIZE_ADDRESS__)
  // Less a chunk the pool may have kept from an earlier test.
  EXPECT_GT(heap_in_use(), before + 20000 * 24 - 65536);
#endif
  void* freed = blocks[17];
  orv::Give_Bytes(freed, 24);
  EXPECT_EQ(orv::Take_Bytes(24), freed);
  for (void* p : blocks) orv::Give_Bytes(p, 24);
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's heap is not the one mallinfo2 reports";
#endif
  const size_t emptied = heap_in_use();
  EXPECT_LE(emptied, before + 65536 + 64);
  for (int i = 0; i < 3; ++i) {
    void* p = orv::Take_Bytes(24);
    EXPECT_EQ(heap_in_use(), emptied);
    orv::Give_Bytes(p, 24);
  }
  // The kept chunk serves a new fill from its start, then grows again.
  for (int i = 0; i < 20000; ++i) blocks[static_cast<size_t>(i)] = orv::Take_Bytes(24);
  for (void* p : blocks) orv::Give_Bytes(p, 24);
  EXPECT_EQ(heap_in_use(), emptied);
}

}  // namespace
