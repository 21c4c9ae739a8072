// The rules behind a pane's recovery that need no window: retry delays, the page
// memory limit from the environment, and the page a failing pane shows.

#include <gtest/gtest.h>

#include "browser_pane/failure_texts.h"
#include "browser_pane/page_memory.h"
#include "browser_pane/recovery_schedule.h"

using namespace std::chrono_literals;

TEST(BackoffSequence, StepsThroughItsDelaysRepeatsTheLastAndStartsOverOnReset) {
    BackoffSequence retries({1s, 2s, 3s});
    EXPECT_FALSE(retries.running());
    for (const auto expected : {1s, 2s, 3s, 3s, 3s})
        EXPECT_EQ(retries.next(), expected);
    EXPECT_TRUE(retries.running());
    retries.reset();
    EXPECT_FALSE(retries.running());
    EXPECT_EQ(retries.next(), 1s);
    EXPECT_EQ(BackoffSequence({}).next(), 0ms);
}

TEST(PageMemoryLimit, TakesWholeMebibytesInRangeAndComplainsOnceAboutAnythingElse) {
    const PageMemoryLimit unset = page_memory_limit(nullptr);
    EXPECT_EQ(unset.mib, 1024u);
    EXPECT_TRUE(unset.complaint.empty());
    for (const auto& [text, mib] : {std::pair{"2048", 2048u}, {" 512 ", 512u}, {"64", 64u}, {"1048576", 1048576u}}) {
        const PageMemoryLimit limit = page_memory_limit(text);
        EXPECT_EQ(limit.mib, mib) << text;
        EXPECT_TRUE(limit.complaint.empty()) << text;
    }
    for (const char* text : {"", "  ", "abc", "1.5", "-100", "63", "1048577", "512MiB", "99999999999999999999999"}) {
        const PageMemoryLimit limit = page_memory_limit(text);
        EXPECT_EQ(limit.mib, 1024u) << text;
        EXPECT_NE(limit.complaint.find("ORVALIS_PAGE_MEMORY_MIB"), std::string::npos) << text;
        EXPECT_EQ(limit.complaint.find('\n'), std::string::npos) << text;
    }
}

TEST(FailureTexts, ShowTheAddressAndTheReasonAsTextNeverAsMarkup) {
    const std::string page = unreachable_page_html("http://x/?a=<script>alert(1)</script>&b=\"'", "<i>503", "");
    EXPECT_EQ(page.find("<script>"), std::string::npos);
    EXPECT_EQ(page.find("<i>"), std::string::npos);
    EXPECT_NE(page.find("http://x/?a=&lt;script&gt;alert(1)&lt;/script&gt;&amp;b=&quot;&#39;"), std::string::npos);
}
