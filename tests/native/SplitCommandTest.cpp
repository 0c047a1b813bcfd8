// Splitting a command text into the encoding libraries' argument vector.
#include <gtest/gtest.h>

#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "SplitCommand.h"

namespace {

using Tokens = std::vector<std::wstring>;

struct SplitCase {
  const wchar_t* Text;
  std::optional<Tokens> Expected;  // nothing: both passes fail
};

// Runs both passes as the bridge does and checks that they agree with each other.
std::optional<Tokens> Split(const wchar_t* text) {
  std::int32_t count = -1;
  ArgVector<wchar_t> args;
  bool counted = SplitCommand(text, SplitPass::Count, count, args);
  EXPECT_EQ(args.Slots, nullptr) << "the counting pass stored tokens";
  if (!counted) {
    EXPECT_EQ(count, -1) << "a failed count was stored";
    return std::nullopt;
  }
  EXPECT_TRUE(args.Allocate(count));
  std::int32_t countAgain = count;
  bool split = SplitCommand(text, SplitPass::Split, countAgain, args);
  EXPECT_TRUE(split) << "the splitting pass failed on a text the counting pass took";
  EXPECT_EQ(countAgain, count) << "the splitting pass changed the count";
  EXPECT_EQ(args.Fill, count);
  Tokens tokens;
  for (std::int32_t i = 0; i < args.Fill; ++i) tokens.emplace_back(args.Slots[i]);
  EXPECT_EQ(args.Slots[count], nullptr) << "the vector does not end with a null reference";
  args.Free();
  EXPECT_EQ(args.Slots, nullptr);
  EXPECT_EQ(args.Size, 0);
  return tokens;
}

TEST(SplitCommand, FollowsTheBlankAndQuoteRules) {
  const SplitCase cases[] = {
      {L"", Tokens{}},
      {L"    ", Tokens{}},
      {L"video2 -f 8", Tokens{L"video2", L"-f", L"8"}},
      {L"  video2   -f    8  ", Tokens{L"video2", L"-f", L"8"}},
      {L"a \"\" b", Tokens{L"a", L"", L"b"}},
      {L"\"\"", Tokens{L""}},
      {L"video3 -o \"C:\\My Jobs\\DVD\" -x", Tokens{L"video3", L"-o", L"C:\\My Jobs\\DVD", L"-x"}},
      {L"\"  two  blanks  \"", Tokens{L"  two  blanks  "}},
      {L"ab\"c\"", std::nullopt},
      {L"video2 -o out\"", std::nullopt},
      {L"video2 \"C:\\Out", std::nullopt},
      {L"\"", std::nullopt},
      {L"\"C:\\Out\"file.vob x", Tokens{L"C:\\Out", L"file.vob", L"x"}},
      {L"\"a\"\"b\"", Tokens{L"a", L"b"}},
      {L"a\tb \tc", Tokens{L"a\tb", L"\tc"}},
      {L"video2 -o \"C:\\Out\\\" next", Tokens{L"video2", L"-o", L"C:\\Out\\", L"next"}},
      {L"a\\b c\\", Tokens{L"a\\b", L"c\\"}},
      {L"3 2 1 \"0\"", Tokens{L"3", L"2", L"1", L"0"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "command [" << std::string(c.Text, c.Text + std::wcslen(c.Text)) << "]");
    EXPECT_EQ(Split(c.Text), c.Expected);
  }
}

// A vector that failed half-way is freed with the tokens it already holds.
TEST(SplitCommand, AFullVectorRefusesMoreTokens) {
  ArgVector<wchar_t> args;
  ASSERT_TRUE(args.Allocate(1));
  std::int32_t count = 1;
  EXPECT_FALSE(SplitCommand(L"one two", SplitPass::Split, count, args));
  EXPECT_EQ(args.Fill, 1);
  EXPECT_EQ(std::wstring(args.Slots[0]), L"one");
  args.Free();
  EXPECT_EQ(args.Fill, 0);
}

}  // namespace
