#include "io/json.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "files/utf8.h"

namespace scenario::tool {
namespace {

struct Case {
    std::string_view input;
    std::string_view expected;
};

TEST(Json, StringsEscapeWhatJsonAndTerminalsNeedAndKeepTheRestAsUtf8) {
    for (const auto& [input, expected] : std::initializer_list<Case>{
             {"a\"b\\c/", R"("a\"b\\c/")"},
             {"\n\r\t", R"("\n\r\t")"},
             {std::string_view("\b\f\x01\x1b\0", 5), R"("\u0008\u000c\u0001\u001b\u0000")"},
             {"\x7f", R"("\u007f")"},                                  // DEL
             {"\xC2\x80\xC2\x9B\xC2\x9F", R"("\u0080\u009b\u009f")"},  // the C1 block
             {"\xC2\xA0\xC3\x80\xE2\x82\xAC\xF0\x9F\x9A\x82",
              "\"\xC2\xA0\xC3\x80\xE2\x82\xAC\xF0\x9F\x9A\x82\""},  // no escape past them
             {"a\xFF"
              "b\xE2\x82",
              "\"a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD\xEF\xBF\xBD\""},  // not UTF-8: U+FFFD for each byte
         }) {
        EXPECT_EQ(json_text(json_string(input)), expected) << input;
        if (!files::is_valid_utf8(input)) {
            continue;  // the tool's keys are its own names
        }
        // Keys are written the same way.
        Json object = Json::object();
        object[std::string(input)] = 1;
        EXPECT_EQ(json_text(object), "{" + std::string(expected) + ":1}") << input;
    }
}

TEST(Json, InvalidUtf8ThatSlippedInIsReplacedNotThrownOver) {
    const Json raw = std::string("a\xFF");
    EXPECT_EQ(json_text(raw), "\"a\xEF\xBF\xBD\"");
}

TEST(Json, ValuesGoOnOneLineInTheOrderTheyWereAdded) {
    Json object = {{"z", 1}, {"a", Json::array({"x", nullptr, true})}, {"m", Json::object()}};
    object["b"] = Json::array();
    object["z"] = false;  // keeps its place
    EXPECT_EQ(json_text(object), R"({"z":false,"a":["x",null,true],"m":{},"b":[]})");
}

TEST(Json, NumbersAreWrittenExactly) {
    const Json numbers = {std::int32_t{-5},
                          std::uint8_t{200},
                          std::numeric_limits<std::int64_t>::min(),
                          std::numeric_limits<std::uint64_t>::max(),
                          json_or_null(std::optional<std::int32_t>{}),
                          json_or_null(std::optional<std::int32_t>{7}),
                          json_or_null(std::optional<std::string>{"\x80"})};
    EXPECT_EQ(json_text(numbers),
              "[-5,200,-9223372036854775808,18446744073709551615,null,7,\"\xEF\xBF\xBD\"]");
}

TEST(Json, PlanNumbersAreWholeWhereTheyCanBeAndReadBackAsTheSameDouble) {
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    for (const auto& [value, expected] : std::initializer_list<std::pair<double, std::string>>{
             {0.0, "0"},
             {-1555.0, "-1555"},
             {9007199254740991.0, "9007199254740991"},
             {9007199254740992.0, "9.007199254740992e+15"},  // past 2^53 no longer a count
             {-0.0, "-0.0"},                                 // an integer would lose the sign
             {0.1, "0.1"},
             {-1555.8743200637005, "-1555.8743200637005"},
             {28019.927665634921, "28019.92766563492"},
             {1e300, "1e+300"},
             {kInfinity, "null"},
             {-kInfinity, "null"},
             {std::numeric_limits<double>::quiet_NaN(), "null"},
         }) {
        const std::string text = json_text(json_number(value));
        EXPECT_EQ(text, expected) << value;
        if (std::isfinite(value)) {
            const auto back = parse_json(text);
            ASSERT_TRUE(back) << text;
            EXPECT_EQ(back->get<double>(), value) << text;
        }
    }
}

TEST(Json, RoundedNumbersKeepTheirPlacesAndNoMore) {
    struct Rounded {
        double value;
        int decimals;
        std::string_view expected;
    };
    for (const auto& [value, decimals, expected] : std::initializer_list<Rounded>{
             {1234.56789, 3, "1234.568"},
             {12.5, 3, "12.5"},
             {12.0004, 3, "12"},
             {-0.0004, 3, "0"},  // no -0
             {-0.00041, 7, "-0.00041"},
             {0.0004, 7, "0.0004"},
             {std::numeric_limits<double>::quiet_NaN(), 2, "null"},
         }) {
        EXPECT_EQ(json_text(json_rounded(value, decimals)), expected) << value;
    }
}

TEST(Json, ParsesOneValueAndRefusesAnythingElseWithoutThrowing) {
    const std::string message =
        R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{"rootUri":null,"x":[1.5,"\u00e0"]}})";
    const auto value = parse_json(message);
    ASSERT_TRUE(value);
    EXPECT_EQ((*value)["method"], "initialize");
    EXPECT_EQ((*value)["params"]["x"][1], "\xC3\xA0");
    EXPECT_EQ(json_text(*value),
              R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{"rootUri":null,"x":[1.5,")"
              "\xC3\xA0"
              R"("]}})");
    for (const std::string_view text : {
             std::string_view(""),
             std::string_view("{"),
             std::string_view("{} {}"),
             std::string_view("[1,]"),
             std::string_view("{\"a\":1,}"),
             std::string_view("\"\xFF\""),  // not UTF-8
             std::string_view("\"\\ud800\""),
             std::string_view("nul"),
             std::string_view("// a comment\n{}"),
         }) {
        EXPECT_EQ(parse_json(text), std::nullopt) << text;
    }
}

TEST(Json, RefusesNestingDeeperThanAsked) {
    const auto nested = [](std::size_t depth, char open, char close) {
        std::string text;
        for (std::size_t i = 0; i < depth; ++i) {
            text += open;
            text += open == '{' ? "\"a\":" : "";
        }
        text += "1";
        return text + std::string(depth, close);
    };
    for (const auto& [open, close] : {std::pair{'[', ']'}, std::pair{'{', '}'}}) {
        EXPECT_TRUE(parse_json(nested(3, open, close), 3)) << open;
        EXPECT_EQ(parse_json(nested(4, open, close), 3), std::nullopt) << open;
    }
    EXPECT_TRUE(parse_json(nested(64, '[', ']')));
    EXPECT_EQ(parse_json(nested(65, '[', ']')), std::nullopt);
    // Far deeper than any stack would take by recursion.
    EXPECT_EQ(parse_json(nested(1000000, '[', ']')), std::nullopt);
    EXPECT_EQ(parse_json(std::string(1000000, '[')), std::nullopt);
}

}  // namespace
}  // namespace scenario::tool
