#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "cli/exit_status.h"

namespace scenario::tool {
namespace {

void refuse_x(std::string_view value) {
    if (value == "x") {
        throw UsageError("no x");
    }
}

constexpr OptionDescription kOptions[] = {
    {.name = "out", .placeholder = "DIR", .required = true},
    {.name = "json"},
    {.name = "leave-off", .placeholder = "NAME", .repeats = true},
    {.name = "-Wno-",
     .placeholder = "NAME",
     .spelling = Spelling::joined,
     .repeats = true,
     .check = refuse_x},
    {.name = "-W", .placeholder = "NAME", .spelling = Spelling::joined, .repeats = true},
};
constexpr CommandDescription kCommand{.name = "test", .options = kOptions};

ParsedArguments parse(const std::vector<std::string>& args) {
    return parse_arguments(args, kCommand);
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
    struct Case {
        std::vector<std::string> args;
        std::string_view message;
    };
    for (const auto& [args, message] : std::initializer_list<Case>{
             {{"--frobnicate"}, "unknown option '--frobnicate'"},
             {{"-x"}, "unknown option '-x'"},
             {{"---Wno-"}, "unknown option '---Wno-'"},
             {{"--out"}, "--out needs a value"},
             {{"--out", "a", "--out", "b"}, "--out given twice"},
             {{"--json=yes"}, "--json takes no value"},
             {{"--json", "--json"}, "--json given twice"},
         }) {
        try {
            parse(args);
            ADD_FAILURE() << args.front();
        } catch (const UsageError& e) {
            EXPECT_EQ(e.what(), message);
        }
    }
}

TEST(CommandLine, KeepsEveryValueOfARepeatingOptionInOrder) {
    const auto parsed = parse({"--leave-off", "B", "--leave-off=A"});
    EXPECT_EQ(parsed.all("leave-off"), (std::vector<std::string>{"B", "A"}));
    EXPECT_TRUE(parse({}).all("leave-off").empty());
}

// A joined option is taken wherever it stands, even as another option's value or after "--",
// by its longest prefix, and its values are checked before anything else is read.
TEST(CommandLine, TakesJoinedOptionsFirstByTheirLongestPrefix) {
    const auto parsed = parse({"-Wno-b", "--out", "-Wno-a", "d", "--", "-Wextra", "-Wno-"});
    EXPECT_EQ(parsed.all("-Wno-"), (std::vector<std::string>{"b", "a", ""}));
    EXPECT_EQ(parsed.all("-W"), std::vector<std::string>{"extra"});
    EXPECT_EQ(parsed.value("out"), "d");
    EXPECT_TRUE(parsed.positionals.empty());
    try {
        parse({"--bogus", "--help", "-Wno-x"});
        FAIL();
    } catch (const UsageError& e) {
        EXPECT_STREQ(e.what(), "no x");
    }
}

TEST(CommandLine, RequiredNamesTheMissingOption) {
    try {
        parse({}).required("out");
        FAIL();
    } catch (const UsageError& e) {
        EXPECT_STREQ(e.what(), "missing --out");
    }
}

// Asking for what the description does not declare, or as what it is not, is the command's
// own fault, which the tests of every command then catch.
TEST(CommandLine, AskingForWhatIsNotDeclaredIsALogicError) {
    const auto parsed = parse({"--out", "d", "--json"});
    EXPECT_THROW(parsed.value("frobnicate"), std::logic_error);
    EXPECT_THROW(parsed.flag("frobnicate"), std::logic_error);
    EXPECT_THROW(parsed.all("frobnicate"), std::logic_error);
    EXPECT_THROW(parsed.flag("out"), std::logic_error);         // a value, not a flag
    EXPECT_THROW(parsed.value("json"), std::logic_error);       // a flag, not a value
    EXPECT_THROW(parsed.value("leave-off"), std::logic_error);  // repeats
    EXPECT_THROW(parsed.all("out"), std::logic_error);          // given once
    EXPECT_THROW(parsed.required("-W"), std::logic_error);      // not required
    EXPECT_THROW(parsed.value("help"), std::logic_error);
}

TEST(CommandLine, CountsPositionals) {
    EXPECT_NO_THROW(expect_positionals(parse({"a"}), 1, "DIR"));
    EXPECT_THROW(expect_positionals(parse({}), 1, "DIR"), UsageError);
    EXPECT_THROW(expect_positionals(parse({"a", "b"}), 1, "DIR"), UsageError);
}

}  // namespace
}  // namespace scenario::tool
