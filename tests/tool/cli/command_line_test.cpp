#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <array>

#include "cli/exit_status.h"

namespace scenario::tool {
namespace {

constexpr std::array kOptions{OptionDescription{"out", true}, OptionDescription{"json", false}};

ParsedArguments parse(std::vector<std::string> args) {
    return parse_arguments(args, kOptions);
}

TEST(CommandLine, SplitsPositionalsValuesAndFlags) {
    const auto parsed = parse({"dir", "--out", "x.svg", "--json"});
    EXPECT_EQ(parsed.positionals, std::vector<std::string>{"dir"});
    EXPECT_EQ(parsed.value("out"), "x.svg");
    EXPECT_TRUE(parsed.flag("json"));
    EXPECT_FALSE(parsed.flag("help"));
}

TEST(CommandLine, TakesAValueAfterAnEqualsSign) {
    EXPECT_EQ(parse({"--out=a=b"}).value("out"), "a=b");
}

TEST(CommandLine, ADoubleDashEndsTheOptions) {
    const auto parsed = parse({"--", "--json", "-"});
    EXPECT_EQ(parsed.positionals, (std::vector<std::string>{"--json", "-"}));
    EXPECT_FALSE(parsed.flag("json"));
}

TEST(CommandLine, HelpIsAlwaysAccepted) {
    EXPECT_TRUE(parse({"-h"}).flag("help"));
    EXPECT_TRUE(parse({"--help"}).flag("help"));
}

TEST(CommandLine, RefusesMalformedOptions) {
    const std::vector<std::vector<std::string>> cases{
        {"--frobnicate"},     {"-x"}, {"--out"}, {"--out", "a", "--out", "b"}, {"--json=yes"},
        {"--json", "--json"},
    };
    for (const auto& args : cases) {
        EXPECT_THROW(parse(args), UsageError) << args.front();
    }
}

TEST(CommandLine, KeepsEveryValueOfARepeatableOptionInOrder) {
    constexpr std::array options{OptionDescription{"leave-off", true, true}};
    const std::vector<std::string> args{"--leave-off", "B", "--leave-off=A"};
    const auto parsed = parse_arguments(args, options);
    EXPECT_EQ(parsed.all("leave-off"), (std::vector<std::string>{"B", "A"}));
    EXPECT_TRUE(parse_arguments(std::vector<std::string>{}, options).all("leave-off").empty());
}

TEST(CommandLine, RequiredNamesTheMissingOption) {
    try {
        parse({}).required("out");
        FAIL();
    } catch (const UsageError& e) {
        EXPECT_STREQ(e.what(), "missing --out");
    }
}

TEST(CommandLine, CountsPositionals) {
    EXPECT_NO_THROW(expect_positionals(parse({"a"}), 1, "DIR"));
    EXPECT_THROW(expect_positionals(parse({}), 1, "DIR"), UsageError);
    EXPECT_THROW(expect_positionals(parse({"a", "b"}), 1, "DIR"), UsageError);
}

}  // namespace
}  // namespace scenario::tool
