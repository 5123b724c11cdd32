#include "scan/TextPool.h"

#include <string>

#include <gtest/gtest.h>

namespace qinglan {
namespace {

TEST(TextPoolTest, EachTextIsKeptOnceAndComesBackWhole) {
  TextPool pool;
  EXPECT_EQ(pool.intern(std::string_view()), TextPool::kEmpty);
  const std::string longText(200000, 'x');
  const std::string raw("\xff\x00z", 3);
  const TextPool::Id location = pool.intern("/媒体/缓存/");
  const TextPool::Id big = pool.intern(longText);
  const TextPool::Id bytes = pool.intern(raw);
  // Enough texts to fill several blocks and grow the table many times.
  for (int i = 0; i < 100000; ++i)
    ASSERT_EQ(pool.view(pool.intern("file" + std::to_string(i))), "file" + std::to_string(i));
  EXPECT_EQ(pool.intern("/媒体/缓存/"), location);
  EXPECT_EQ(pool.intern(longText), big);
  EXPECT_EQ(pool.intern(raw), bytes);
  EXPECT_EQ(pool.view(location), "/媒体/缓存/");
  EXPECT_TRUE(pool.view(big) == longText && pool.view(bytes) == raw);
  EXPECT_EQ(pool.size(), size_t{100004});

  pool.clear();
  EXPECT_EQ(pool.size(), size_t{1});
  EXPECT_EQ(pool.intern("a"), TextPool::Id{1});
}

}  // namespace
}  // namespace qinglan
