#include "screen/dark_hours.h"

#include <algorithm>
#include <utility>

namespace screen {

namespace {

constexpr const char* kDayKeys[7] = {"Lun", "Mar", "Mer", "Gio", "Ven", "Sab", "Dom"};
constexpr int kDayMinutes = 24 * 60;
// Far enough to find the next edge of any week's hours.
constexpr int kDaysAhead = 8;

std::optional<int> minutes_of(const std::string& text, bool end) {
    const auto digit = [&text](std::size_t i) { return text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1; };
    if (text.size() != 5 || text[2] != ':' || digit(0) < 0 || digit(1) < 0 || digit(3) < 0 || digit(4) < 0)
        return std::nullopt;
    const int hours = digit(0) * 10 + digit(1), minutes = digit(3) * 10 + digit(4);
    if (minutes > 59) return std::nullopt;
    const int total = hours * 60 + minutes;
    if (total < kDayMinutes || (end && total == kDayMinutes)) return total;
    return std::nullopt;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Local midnight of the day `offset` days from the one holding tm's date, plus minutes.
std::time_t local_moment(const std::tm& day, int offset, int minutes) {
    std::tm moment{};
    moment.tm_year = day.tm_year;
    moment.tm_mon = day.tm_mon;
    moment.tm_mday = day.tm_mday + offset + minutes / kDayMinutes;
    moment.tm_hour = (minutes % kDayMinutes) / 60;
    moment.tm_min = minutes % 60;
    moment.tm_isdst = -1;  // whatever the clock says on that day
    return std::mktime(&moment);
}

}  // namespace

bool DarkHours::empty() const {
    if (!every_day.empty()) return false;
    return std::all_of(days.begin(), days.end(), [](const auto& day) { return !day || day->empty(); });
}

std::optional<std::vector<DarkRange>> parse_ranges(const std::string& text) {
    std::vector<DarkRange> ranges;
    if (trimmed(text).empty()) return ranges;  // "Sab=": no dark hours that day
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto stop = std::min(text.find(';', start), text.size());
        const std::string part = trimmed(text.substr(start, stop - start));
        start = stop + 1;
        if (part.empty() && stop == text.size() && !ranges.empty()) break;  // a trailing ';'
        const auto dash = part.find('-');
        if (dash == std::string::npos) return std::nullopt;
        const auto from = minutes_of(trimmed(part.substr(0, dash)), false);
        const auto to = minutes_of(trimmed(part.substr(dash + 1)), true);
        if (!from || !to || *from == *to) return std::nullopt;
        ranges.push_back({*from, *to});
    }
    return ranges;
}

ReadDarkHours read_dark_hours(const std::map<std::string, std::string>& values) {
    ReadDarkHours read;
    for (const auto& [key, value] : values) {
        const auto day = std::find(std::begin(kDayKeys), std::end(kDayKeys), key);
        if (key != "Spento" && day == std::end(kDayKeys)) {
            read.complaints.push_back("orvalis: [Schermo] " + key + ": chiave sconosciuta, ignorata");
            continue;
        }
        auto ranges = parse_ranges(value);
        if (!ranges) {
            read.complaints.push_back("orvalis: [Schermo] " + key + "=" + value +
                                      ": non letto (si scrive HH:MM-HH:MM;HH:MM-HH:MM), ignorato");
            continue;
        }
        if (key == "Spento")
            read.hours.every_day = std::move(*ranges);
        else
            read.hours.days[day - std::begin(kDayKeys)] = std::move(*ranges);
    }
    return read;
}

DarkState dark_state(const DarkHours& hours, std::time_t now) {
    if (hours.empty()) return {};
    std::tm today{};
    localtime_r(&now, &today);
    // Every dark span from yesterday's ranges (which may reach into today) onwards.
    std::vector<std::pair<std::time_t, std::time_t>> spans;
    for (int offset = -1; offset <= kDaysAhead; ++offset) {
        const int weekday = ((today.tm_wday + 6 + offset) % 7 + 7) % 7;  // Monday is 0
        const auto& day = hours.days[weekday];
        for (const DarkRange& range : day ? *day : hours.every_day)
            spans.emplace_back(local_moment(today, offset, range.from),
                               local_moment(today, offset, range.to + (range.to <= range.from ? kDayMinutes : 0)));
    }
    std::sort(spans.begin(), spans.end());
    // Joined where they touch or overlap, so that an edge is a change of state.
    std::vector<std::pair<std::time_t, std::time_t>> joined;
    for (const auto& span : spans) {
        if (!joined.empty() && span.first <= joined.back().second)
            joined.back().second = std::max(joined.back().second, span.second);
        else
            joined.push_back(span);
    }
    DarkState state;
    for (const auto& [from, to] : joined) {
        if (to <= now) continue;
        state.dark = from <= now;
        state.next_edge = state.dark ? to : from;
        break;
    }
    // A span that reaches the end of what was looked at is not known to end there.
    if (state.dark && !joined.empty() && state.next_edge == joined.back().second &&
        joined.back().second >= local_moment(today, kDaysAhead, 0))
        state.next_edge.reset();
    return state;
}

}  // namespace screen
