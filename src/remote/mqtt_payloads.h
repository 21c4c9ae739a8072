#pragma once
// What travels in the wall's MQTT messages, apart from discovery: commands judged
// before they act, states cut to what Home Assistant takes, and the wait between
// attempts to reach the broker.

#include <optional>
#include <string>

namespace remote {

// A message larger than this is dropped unread.
inline constexpr std::size_t kLargestMessage = 64 * 1024;
// Home Assistant refuses longer states; text entities announce it as their max.
inline constexpr std::size_t kLongestState = 255;
inline constexpr std::size_t kLongestAddress = 2048;

// text as a JSON string, quotes included.
std::string json_string(const std::string& text);

// A state of at most kLongestState characters: a longer one is cut, ending in "…".
std::string short_state(const std::string& text);
// The whole text, for the entity's json_attributes_topic.
std::string full_text_attributes(const std::string& text);

// Why an address may not be shown in a pane ("" if it may): only http and https, with
// a host, of at most kLongestAddress characters.
std::string address_problem(const std::string& address);
// The zoom a payload asks for, in percent, if it is a number from 30 to 300.
std::optional<double> zoom_percent(const std::string& payload);
// A payload as a line of standard error may quote it: short, one line, no password.
std::string quoted_payload(const std::string& payload);

// Seconds to wait before the attempt after `failures` failed ones: 1, 2, 4 … 60.
unsigned reconnect_delay_seconds(unsigned failures);

}  // namespace remote
