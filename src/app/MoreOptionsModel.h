#pragma once

#include "app/DialogFields.h"
#include "app/Direction.h"

#include <optional>
#include <string>

namespace velmora {

class Profile;

// The More Options dialog without widgets: the profile settings that have no box in the main
// window. The view binds its controls to the public fields, asks the enabling rules, and hands
// the model back to the controller on OK.
class MoreOptionsModel {
public:
    enum class Field { Hours, Minutes, LogPath };
    enum class CompareOn { Time, FileSize };
    enum class LogMode { Overwrite, Append };

    static constexpr int kMinHours = -12, kMaxHours = 12;
    static constexpr int kMinMinutes = -59, kMaxMinutes = 59;

    explicit MoreOptionsModel(const Profile& profile);

    // "Auto Start": ticking it always selects Location1 ==> Location2; clearing it keeps the
    // direction and "Hide other button" as they are (only disabled).
    void setAutoStart(bool ticked);
    bool autoStart() const { return autoStart_; }
    bool directionEnabled() const { return autoStart_; }
    bool hideOtherButtonEnabled() const { return autoStart_; }
    // "Log File": the path, Browse, Overwrite and Append follow it.
    bool logControlsEnabled() const { return logOn; }

    // Checks every field; the first problem found, or nothing when OK may store them.
    std::optional<FieldRefusal<Field>> check() const;
    // OK: stores every field into the profile, which is always left modified. Refused (nothing
    // stored) when check() finds a problem.
    std::optional<FieldRefusal<Field>> store(Profile& profile) const;

    std::optional<Direction> direction; // none while "Auto Start" was never ticked
    bool hideOtherButton = false;
    bool copyAttributes = false;
    CompareOn compareOn = CompareOn::Time;
    std::string hoursText = "0";
    std::string minutesText = "0";
    bool logOn = false;
    LogMode logMode = LogMode::Overwrite;
    std::string logPath;

private:
    bool autoStart_ = false;
};

} // namespace velmora
