#include "common/event_graph.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Records come from a pool of reused slots: live ones must never share a
// slot, a record made in a freed slot starts afresh, and once every record
// is gone the pool starts over. Enough records for several chunks.
template <class Record>
void records_keep_apart(void (*fill)(Record&, int), int (*id)(const Record&)) {
  constexpr int n = 20000;
  std::vector<std::unique_ptr<Record>> live;
  for (int round = 0; round < 2; ++round) {  // the second after a full release
    for (int i = 0; i < n; ++i) {
      live.push_back(std::make_unique<Record>());
      fill(*live.back(), i);
    }
    for (int i = 0; i < n; i += 2) live[static_cast<size_t>(i)].reset();
    for (int i = 0; i < n; i += 2) {
      auto r = std::make_unique<Record>();
      EXPECT_EQ(id(*r), -1) << "a reused slot starts afresh";
      fill(*r, n + i);
      live[static_cast<size_t>(i)] = std::move(r);
    }
    for (int i = 0; i < n; ++i) {
      const int want = i % 2 == 0 ? n + i : i;
      ASSERT_EQ(id(*live[static_cast<size_t>(i)]), want) << i;
    }
    live.clear();
  }
}

TEST(EventGraphRecords, PlacesKeepApart) {
  records_keep_apart<orv::PLACE_DESC>(
      [](orv::PLACE_DESC& p, int i) {
        p.Place_Id = i;
        p.Name = "place number " + std::to_string(i);  // beyond the short-string buffer
        p.Lag_Times.assign(static_cast<size_t>(i % 3), 1.0);
      },
      [](const orv::PLACE_DESC& p) {
        if (p.Place_Id >= 0 && p.Name != "place number " + std::to_string(p.Place_Id)) return -2;
        if (p.Place_Id >= 0 && p.Lag_Times.size() != static_cast<size_t>(p.Place_Id % 3)) return -3;
        return p.Place_Id;
      });
}

TEST(EventGraphRecords, TransitionsKeepApart) {
  records_keep_apart<orv::TRANS_DESC>(
      [](orv::TRANS_DESC& t, int i) {
        t.Trans_Id = i;
        t.Data = "transition data " + std::to_string(i);
      },
      [](const orv::TRANS_DESC& t) {
        if (t.Trans_Id >= 0 && t.Data != "transition data " + std::to_string(t.Trans_Id)) return -2;
        return t.Trans_Id;
      });
}

}  // namespace
