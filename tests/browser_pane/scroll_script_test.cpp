// Offsets must reach the page exactly: a stream's six digits would move a pane.

#include <gtest/gtest.h>

#include "browser_pane/scroll_script.h"

TEST(JsNumber, ReadsBackAsTheSameNumber) {
    const std::pair<double, const char*> cases[] = {
        {0, "0"}, {-10, "-10"}, {0.5, "0.5"}, {1234567.25, "1234567.25"}, {1e7, "1e+07"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(js_number(value), text) << value;
}
