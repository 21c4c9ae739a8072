// The load step against real settings files and stand-in panes and dialog.

#include <gtest/gtest.h>

#include <tuple>

#include "main_window/startup.h"
#include "support/fakes.h"
#include "support/files.h"

namespace {

Value i16(int v) { return Value(static_cast<std::int16_t>(v)); }

// The file as far as it goes reaches the store, the dialog and the panes; a flag
// that is not 0, 1 or 2 leaves its box alone, a pane that refuses its address
// stops nothing, and every pane ends silent.
TEST(Startup, EachStepTakesWhatTheFileHoldsAndSkipsWhatFails) {
    struct Case { const char* what; std::optional<std::string> file; std::array<Value, 4> scroll_y;
                  std::array<std::string, 5> texts; std::array<int, 4> checks; };
    const Case cases[] = {
        {"no file", std::nullopt, {}, {}, {0, 0, 0, 0}},
        {"ten lines", " 10 \r\n-20 \r\n\r\n\r\n\r\n\r\n\r\n\r\nhttp://a/\r\nhttp://b/\r\n",
         {i16(-20)}, {"http://a/", "http://b/"}, {0, 0, 0, 0}},
        {"twelve lines", " 1 \r\n 2 \r\n 3 \r\n 4 \r\n 5 \r\n 6 \r\n 7 \r\n 8 \r\nhttp://a/\r\nhttp://b/\r\nhttp://c/\r\nhttp://d/\r\n",
         {i16(2), i16(4), i16(6), i16(8)}, {"http://a/", "http://b/", "http://c/", "http://d/"}, {0, 0, 0, 0}},
        {"bad flags", "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\nhttp://a/\r\nhttp://b/\r\nhttp://c/\r\n\r\n"
                      " 1 \r\nvero\r\n 7 \r\n 2 \r\n/usr/bin/tavorinello\r\n",
         {}, {"http://a/", "http://b/", "http://c/", "", "/usr/bin/tavorinello"}, {1, 1, 1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder{"orvalis-startup"};
        if (c.file) write_file(folder / "dati.cfg", *c.file);
        SettingsStore store;
        FakeDialog dialog;  // as it was before the load step touches it
        dialog.texts = {"x", "x", "x", "http://www.example.org/browser", "/opt/tavorinello/tavorinello"};
        dialog.checks = {1, 1, 1, 1};
        FakePanes panes;
        panes.pane[1].accepts = false;
        load_start_settings(store, folder / "dati.cfg", dialog, panes.set());
        EXPECT_EQ(std::tuple(store.Dati[0], store.ScrollY, dialog.texts, dialog.checks),
                  std::tuple(i16(120), c.scroll_y, c.texts, c.checks));
        for (int n = 0; n < 4; ++n)  // each pane on its address, silent, and no offset written yet
            EXPECT_EQ(std::tuple(panes.pane[n].navigations, panes.pane[n].silent, panes.pane[n].scrolls.size()),
                      std::tuple(std::vector{c.texts[n]}, true, 0u)) << "pane " << n + 1;
    }
}

}  // namespace
