#include "app/MoreOptionsModel.h"

#include "profiles/Profile.h"

namespace velmora {

MoreOptionsModel::MoreOptionsModel(const Profile& profile)
    : hideOtherButton(profile.hideOtherButton), copyAttributes(profile.copyAttributes),
      compareOn(profile.compareOnTime ? CompareOn::Time : CompareOn::FileSize),
      hoursText(std::to_string(profile.adjustHours)), minutesText(std::to_string(profile.adjustMinutes)),
      logOn(profile.logOn), logMode(profile.logAppend ? LogMode::Append : LogMode::Overwrite),
      logPath(profile.logPath) {
    if (profile.autoStart == AutoStartDirection::OneToTwo ||
        profile.autoStart == AutoStartDirection::TwoToOne) {
        autoStart_ = true;
        direction =
            profile.autoStart == AutoStartDirection::TwoToOne ? Direction::TwoToOne : Direction::OneToTwo;
    }
}

void MoreOptionsModel::setAutoStart(bool ticked) {
    autoStart_ = ticked;
    if (ticked)
        direction = Direction::OneToTwo;
}

std::optional<FieldRefusal<MoreOptionsModel::Field>> MoreOptionsModel::check() const {
    if (const IntegerField hours = readIntegerField(hoursText, kMinHours, kMaxHours); !hours.value)
        return FieldRefusal<Field>{Field::Hours, hours.message, {}};
    if (const IntegerField minutes = readIntegerField(minutesText, kMinMinutes, kMaxMinutes); !minutes.value)
        return FieldRefusal<Field>{Field::Minutes, minutes.message, {}};
    if (logOn && logPath.empty())
        return FieldRefusal<Field>{Field::LogPath, "You have selected logging and must specify a log file",
                                   "MoreOptionsDlg::OnOK"};
    return std::nullopt;
}

std::optional<FieldRefusal<MoreOptionsModel::Field>> MoreOptionsModel::store(Profile& profile) const {
    if (auto refusal = check())
        return refusal;
    profile.autoStart = !autoStart_                        ? AutoStartDirection::Off
                        : direction == Direction::TwoToOne ? AutoStartDirection::TwoToOne
                                                           : AutoStartDirection::OneToTwo;
    profile.hideOtherButton = hideOtherButton;
    profile.copyAttributes = copyAttributes;
    profile.compareOnTime = compareOn == CompareOn::Time;
    profile.adjustHours = static_cast<std::int32_t>(*readIntegerField(hoursText, kMinHours, kMaxHours).value);
    profile.adjustMinutes =
        static_cast<std::int32_t>(*readIntegerField(minutesText, kMinMinutes, kMaxMinutes).value);
    profile.logOn = logOn;
    profile.logAppend = logMode == LogMode::Append;
    profile.logPath = logPath;
    profile.modified = true;
    return std::nullopt;
}

} // namespace velmora
