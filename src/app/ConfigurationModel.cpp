#include "app/ConfigurationModel.h"

#include "profiles/StoredSettings.h"

namespace velmora {

ConfigurationModel::ConfigurationModel(const GeneralSettings& settings)
    : dateFormat(settings.ddmmyy ? DateFormat::DdMmYy : DateFormat::MmDdYy),
      showTooltips(settings.showTooltips), commandTimeoutText(std::to_string(settings.commandTimeout)),
      buttonStyle(settings.showNoTextButtons ? ButtonStyle::NoText : ButtonStyle::Text),
      timeDifferenceText(std::to_string(settings.timeDifference)),
      parallelCommandsText(std::to_string(settings.parallelCommands)) {}

std::optional<FieldRefusal<ConfigurationModel::Field>> ConfigurationModel::check() const {
    if (const IntegerField timeout =
            readIntegerField(commandTimeoutText, kMinCommandTimeout, kMaxCommandTimeout);
        !timeout.value)
        return FieldRefusal<Field>{Field::CommandTimeout, timeout.message, {}};
    if (const IntegerField difference =
            readIntegerField(timeDifferenceText, kMinTimeDifference, kMaxTimeDifference);
        !difference.value)
        return FieldRefusal<Field>{Field::TimeDifference, difference.message, {}};
    if (const IntegerField parallel =
            readIntegerField(parallelCommandsText, kMinParallelCommands, kMaxParallelCommands);
        !parallel.value)
        return FieldRefusal<Field>{Field::ParallelCommands, parallel.message, {}};
    return std::nullopt;
}

std::optional<FieldRefusal<ConfigurationModel::Field>>
ConfigurationModel::apply(GeneralSettings& settings) const {
    if (auto refusal = check())
        return refusal;
    settings.ddmmyy = dateFormat == DateFormat::DdMmYy;
    settings.showTooltips = showTooltips;
    settings.commandTimeout = static_cast<std::uint32_t>(
        *readIntegerField(commandTimeoutText, kMinCommandTimeout, kMaxCommandTimeout).value);
    settings.showNoTextButtons = buttonStyle == ButtonStyle::NoText;
    settings.timeDifference = static_cast<std::uint32_t>(
        *readIntegerField(timeDifferenceText, kMinTimeDifference, kMaxTimeDifference).value);
    settings.parallelCommands = static_cast<std::uint32_t>(
        *readIntegerField(parallelCommandsText, kMinParallelCommands, kMaxParallelCommands).value);
    return std::nullopt;
}

} // namespace velmora
