#include "calib_db/text_arena.h"

#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace rimbolt_test {
namespace {

// Texts of many sizes, some larger than a whole mapping, each filled with
// its own byte: none may overlap another, before or after a Clear.
TEST(TextArenaTest, TextsNeverOverlapAndSurviveUntilCleared) {
  tavo::TextArena arena;
  for (int round = 0; round < 2; ++round) {
    std::vector<std::pair<char *, size_t>> texts;
    std::vector<size_t> sizes;
    for (int repeat = 0; repeat < 6; ++repeat) {
      sizes.insert(sizes.end(), {1, 15, 16, 17, 244047, 3904737});
    }
    sizes.push_back(40u << 20);
    sizes.push_back(5);
    for (size_t size : sizes) {
      char *text = arena.Allocate(size);
      ASSERT_NE(text, nullptr);
      EXPECT_EQ(reinterpret_cast<uintptr_t>(text) % 16, 0u);
      memset(text, static_cast<int>(texts.size() & 0xff), size);
      texts.push_back({text, size});
    }
    for (size_t i = 0; i < texts.size(); ++i) {
      const auto &[text, size] = texts[i];
      std::string expected(size, static_cast<char>(i & 0xff));
      ASSERT_EQ(memcmp(text, expected.data(), size), 0) << "text " << i;
    }
    arena.Clear();
  }
}

}  // namespace
}  // namespace rimbolt_test
