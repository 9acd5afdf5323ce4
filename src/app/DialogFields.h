#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// Why a dialog's OK was refused: the message to show and the field to put the focus on. A
// refusal with a context goes through the error reporter (and so into an open run log); one
// without is a plain notice of the dialog.
template <typename Field>
struct FieldRefusal {
    Field field;
    std::string message;
    std::string context;
};

// The text of a number edit read as a whole number between `low` and `high`. Blanks around the
// number are allowed, as is a sign. Fails with "Please enter an integer." or "Please enter an
// integer between %1 and %2." filled with the limits.
struct IntegerField {
    std::optional<std::int64_t> value;
    std::string message; // when value is empty
};
IntegerField readIntegerField(std::string_view text, std::int64_t low, std::int64_t high);

} // namespace velmora
