#include "app/CommandParser.h"

#include <map>

#include <gtest/gtest.h>

#include "base/TextUtil.h"

namespace {

using SwitchTable = std::map<std::wstring, std::wstring>;

struct ParseCase {
  const wchar_t* commandLine;
  SwitchTable expected;
};

class CommandParserCases : public ::testing::TestWithParam<ParseCase> {};

TEST_P(CommandParserCases, BuildsTheSwitchTable) {
  CCommandParser parser;
  ASSERT_TRUE(parser.Parse(GetParam().commandLine));
  EXPECT_EQ(parser.Switches(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    SystemSplitting, CommandParserCases,
    ::testing::Values(
        ParseCase{L"/s", {{L"/S", L""}}},
        ParseCase{L"/S  /READYUNINSTALL  /CHK=tok", {{L"/S", L""}, {L"/READYUNINSTALL", L""}, {L"/CHK", L"tok"}}},
        // A line that begins with a blank yields an empty first argument.
        ParseCase{L" /S ", {{L"", L""}, {L"/S", L""}}},
        // Only the first "=" splits; the value keeps its case.
        ParseCase{L"/chk=AbC=dEf==", {{L"/CHK", L"AbC=dEf=="}}},
        // Quotes left after the system's splitting lose one at each end.
        ParseCase{L"/x /CHK=\\\"tok\\\"", {{L"/X", L""}, {L"/CHK", L"tok"}}},
        ParseCase{L"/x /CHK=\\\"tok", {{L"/X", L""}, {L"/CHK", L"tok"}}},
        ParseCase{L"/x /CHK=\\\"\\\"tok\\\"\\\"", {{L"/X", L""}, {L"/CHK", L"\"tok\""}}},
        // Quoted arguments keep their blanks inside; the value is trimmed.
        ParseCase{L"/x \"/NAME = a b \"", {{L"/X", L""}, {L"/NAME", L"a b"}}},
        // Blanks around "=" split the text into separate arguments.
        ParseCase{L"/x /CHK = tok", {{L"/X", L""}, {L"/CHK", L""}, {L"", L""}, {L"TOK", L""}}},
        // The last occurrence wins.
        ParseCase{L"/x /K=1 /k=2 /K=3", {{L"/X", L""}, {L"/K", L"3"}}}));

TEST(CommandParser, EmptyLineYieldsTheProgramPathAsOnlyKey) {
  CCommandParser parser;
  ASSERT_TRUE(parser.Parse(L""));
  ASSERT_EQ(parser.Switches().size(), 1u);
  EXPECT_EQ(parser.Switches().begin()->first, lumo::ToUpper(lumo::ModulePath()));
  EXPECT_FALSE(parser.IsSilent());
}

TEST(CommandParser, QueriesIgnoreCaseAndLeaveMissingValuesAlone) {
  CCommandParser parser;
  ASSERT_TRUE(parser.Parse(L"/x /s /Chk=Token"));
  EXPECT_TRUE(parser.IsSilent());
  EXPECT_TRUE(parser.HasSwitch(L"/S"));
  EXPECT_TRUE(parser.HasSwitch(L"/chk"));
  EXPECT_FALSE(parser.HasSwitch(L"S"));  // the "/" is part of the name
  EXPECT_FALSE(parser.HasSwitch(L"/READYUNINSTALL"));

  std::wstring value = L"unchanged";
  EXPECT_TRUE(parser.GetSwitchValue(L"/CHK", value));
  EXPECT_EQ(value, L"Token");
  value = L"unchanged";
  EXPECT_FALSE(parser.GetSwitchValue(L"/K", value));
  EXPECT_EQ(value, L"unchanged");
}

TEST(CommandParser, ReparseEmptiesTheTable) {
  CCommandParser parser;
  ASSERT_TRUE(parser.Parse(L"/x /S"));
  ASSERT_TRUE(parser.Parse(L"/x /K"));
  EXPECT_FALSE(parser.IsSilent());
  EXPECT_TRUE(parser.HasSwitch(L"/K"));
  EXPECT_EQ(parser.CommandLine(), L"/x /K");
}

TEST(CommandParser, IsAProcessWideSingleton) {
  EXPECT_NE(CCommandParser::Instance(), nullptr);
  EXPECT_EQ(CCommandParser::Instance(), CCommandParser::Instance());
}

}  // namespace
