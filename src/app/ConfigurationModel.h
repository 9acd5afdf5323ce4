#pragma once

#include "app/DialogFields.h"

#include <optional>
#include <string>

namespace velmora {

struct GeneralSettings;

// The Configuration dialog without widgets: the program-wide settings. The controller fills it
// from what is in force and, on OK, applies and stores what it answers.
class ConfigurationModel {
public:
    enum class Field { CommandTimeout, TimeDifference, ParallelCommands };
    enum class DateFormat { DdMmYy, MmDdYy };
    enum class ButtonStyle { Text, NoText }; // "Text, small arrows", "No text, large arrows"

    static constexpr int kMinCommandTimeout = 10, kMaxCommandTimeout = 99999;
    static constexpr int kMinTimeDifference = 1, kMaxTimeDifference = 999;
    static constexpr int kMinParallelCommands = 1, kMaxParallelCommands = 32;

    explicit ConfigurationModel(const GeneralSettings& settings);

    // The first problem that keeps the dialog open, or nothing. apply() writes the six fields
    // into the settings only when there is none.
    std::optional<FieldRefusal<Field>> check() const;
    std::optional<FieldRefusal<Field>> apply(GeneralSettings& settings) const;

    DateFormat dateFormat = DateFormat::DdMmYy;
    bool showTooltips = true;
    std::string commandTimeoutText;
    ButtonStyle buttonStyle = ButtonStyle::Text;
    std::string timeDifferenceText;
    // "Parallel file commands"
    std::string parallelCommandsText;
};

} // namespace velmora
