#include "app/DialogFields.h"

#include <charconv>

namespace velmora {

namespace {

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

IntegerField readIntegerField(std::string_view text, std::int64_t low, std::int64_t high) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    std::int64_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    // A number too long for 64 bits is certainly out of range, but it is no integer the edit can
    // hold either: the plain message says so.
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return {std::nullopt, "Please enter an integer."};
    if (number < low || number > high)
        return {std::nullopt, "Please enter an integer between " + std::to_string(low) + " and " +
                                  std::to_string(high) + "."};
    return {number, {}};
}

} // namespace velmora
