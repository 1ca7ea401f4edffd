#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/pure/folder_notify.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}

// One record; next is patched by Chain.
Bytes Record(uint32_t action, const std::u16string& name, size_t pad = 0) {
  Bytes b;
  Put32(b, 0);
  Put32(b, action);
  Put32(b, uint32_t(name.size() * 2));
  for (char16_t c : name) b.push_back(uint8_t(c)), b.push_back(uint8_t(c >> 8));
  b.resize(b.size() + pad, 0);
  return b;
}

Bytes Chain(const std::vector<Bytes>& records) {
  Bytes all;
  for (size_t i = 0; i < records.size(); ++i) {
    size_t at = all.size();
    all.insert(all.end(), records[i].begin(), records[i].end());
    if (i + 1 < records.size()) {
      uint32_t next = uint32_t(records[i].size());
      for (int k = 0; k < 4; ++k) all[at + k] = uint8_t(next >> (8 * k));
    }
  }
  return all;
}

struct Seen {
  std::vector<std::pair<uint32_t, std::u16string>> records;
  NotifyWalk walk;
};

Seen Walk(const Bytes& b, size_t bytes, size_t stopAfter = 1000) {
  Seen s;
  s.walk = WalkFolderNotifications(b.data(), bytes, [&](const FolderNotifyRecord& r) {
    s.records.emplace_back(r.action, std::u16string(r.name));
    return s.records.size() < stopAfter;
  });
  return s;
}

TEST(FolderNotify, RecordsFollowTheirOffsets) {
  Bytes b = Chain({Record(kNotifyRenamedOld, u"a.jpg", 2), Record(kNotifyRenamedNew, u"\u5199\u771f.jpg"),
                   Record(kNotifyRemoved, u"c.JPG")});
  Seen s = Walk(b, b.size());
  EXPECT_EQ(s.walk, NotifyWalk::kComplete);
  ASSERT_EQ(s.records.size(), 3u);
  EXPECT_EQ(s.records[0], std::make_pair(uint32_t(kNotifyRenamedOld), std::u16string(u"a.jpg")));
  EXPECT_EQ(s.records[1].second, u"\u5199\u771f.jpg");
  EXPECT_EQ(s.records[2].first, uint32_t(kNotifyRemoved));
  // The visitor stops the walk.
  EXPECT_EQ(Walk(b, b.size(), 2).walk, NotifyWalk::kStopped);
}

TEST(FolderNotify, EverythingStaysInsideTheBytesReceived) {
  Bytes b = Chain({Record(kNotifyAdded, u"a.jpg"), Record(kNotifyModified, u"b.jpg")});
  // Overflow: nothing to walk.
  EXPECT_EQ(Walk(b, 0).walk, NotifyWalk::kMalformed);
  // The second record cut short: the first still counts, then the walk ends.
  Seen cut = Walk(b, b.size() - 3);
  EXPECT_EQ(cut.walk, NotifyWalk::kMalformed);
  EXPECT_EQ(cut.records.size(), 1u);
  // A header without room for its name, and fewer bytes than a header.
  Bytes lying = Record(kNotifyAdded, u"abc");
  lying[8] = 200;
  EXPECT_TRUE(Walk(lying, lying.size()).records.empty());
  EXPECT_EQ(Walk(lying, 11).walk, NotifyWalk::kMalformed);
  // A next-entry offset past the end.
  Bytes far = Record(kNotifyAdded, u"a");
  far[0] = 0xFF, far[1] = 0xFF;
  Seen s = Walk(far, far.size());
  EXPECT_EQ(s.walk, NotifyWalk::kMalformed);
  EXPECT_EQ(s.records.size(), 1u);
  // A count larger than the buffer is held to the buffer's size.
  Bytes big(kFolderNotifyBufferSize + 64, 0);
  Bytes last = Record(kNotifyAdded, u"z");
  size_t at = kFolderNotifyBufferSize - 8;
  Bytes first = Record(kNotifyAdded, u"y");
  std::copy(first.begin(), first.end(), big.begin());
  big[0] = uint8_t(at), big[1] = uint8_t(at >> 8);
  std::copy(last.begin(), last.end(), big.begin() + long(at));
  EXPECT_EQ(Walk(big, big.size()).records.size(), 1u);  // the second straddles the 10,000th byte
}

TEST(FolderNotify, LongNamesAreCutToAPath) {
  std::u16string longName(400, u'x');
  Bytes b = Record(kNotifyAdded, longName);
  Seen s = Walk(b, b.size());
  ASSERT_EQ(s.records.size(), 1u);
  EXPECT_EQ(s.records[0].second, std::u16string(kNotifyNameUnits - 1, u'x'));
  // An odd byte length drops its half unit.
  Bytes odd = Record(kNotifyAdded, u"ab");
  odd[8] = 3;
  EXPECT_EQ(Walk(odd, odd.size()).records[0].second, u"a");
}

}  // namespace
