// The scroll script's text: exact numbers in JavaScript syntax, offsets left out when absent.

#include <gtest/gtest.h>

#include <limits>

#include "browser_pane/scroll_script.h"

TEST(JsNumber, ReadsBackAsTheSameNumber) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0, "0"},        {120, "120"},    {-10, "-10"},   {0.5, "0.5"},
        {1e7, "1e+07"},  {32768, "32768"}, {-2147483648.0, "-2147483648"},
        {std::numeric_limits<double>::max(), "1.7976931348623157e+308"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(js_number(c.value), c.text) << c.value;
}

TEST(ScrollScript, WritesOnlyThePresentOffsets) {
    const std::string both = scroll_script(30, 120);
    EXPECT_NE(both.find("e.scrollLeft=30;"), std::string::npos);
    EXPECT_NE(both.find("e.scrollTop=120;"), std::string::npos);

    const std::string top_only = scroll_script(std::nullopt, -10);
    EXPECT_EQ(top_only.find("scrollLeft"), std::string::npos);
    EXPECT_NE(top_only.find("e.scrollTop=-10;"), std::string::npos);

    const std::string left_only = scroll_script(7, std::nullopt);
    EXPECT_NE(left_only.find("e.scrollLeft=7;"), std::string::npos);
    EXPECT_EQ(left_only.find("scrollTop"), std::string::npos);
}
