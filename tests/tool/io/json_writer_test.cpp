#include "io/json_writer.h"

#include <gtest/gtest.h>

namespace scenario::tool {
namespace {

TEST(JsonWriter, EscapesQuotesBackslashesAndControlCharacters) {
    EXPECT_EQ(json_string("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\n\\u0001\"");
    EXPECT_EQ(json_string("\xFF"), "\"\xEF\xBF\xBD\"");
    EXPECT_EQ(json_string("\x7f\xC2\x9B\xC2\xA0"), "\"\\u007f\\u009b\xC2\xA0\"");
}

TEST(JsonWriter, PutsCommasBetweenMembersAndElementsOnly) {
    JsonWriter json;
    json.begin_object().key("a").value(1).key("b").begin_array().value("x").null().value(true);
    json.end_array().key("c").begin_object().end_object().end_object();
    EXPECT_EQ(json.text(), R"({"a":1,"b":["x",null,true],"c":{}})");
}

TEST(JsonWriter, WritesNumbersExactly) {
    JsonWriter json;
    json.begin_array().value(std::int32_t{-5}).value(0.1).value(std::uint8_t{200}).end_array();
    EXPECT_EQ(json.text(), "[-5,0.10000000000000001,200]");
}

}  // namespace
}  // namespace scenario::tool
