#pragma once

#include <string>

namespace velmora {

class Batch;
class ErrorReporter;
class Profile;

// Which button asked for the save; it names the context of a failure message.
enum class SaveCommand { Save, SaveAs };

// Loads a profile file. A file that cannot be read is reported ("Could not open file: ") and
// leaves the profile as it was; a file that is not a profile is reported ("... is not a valid
// Velmora profile") and leaves the profile at its defaults. True when the profile was loaded.
bool loadProfileFile(const std::string& path, Profile& profile, ErrorReporter& reporter);

// Saves a profile through a temporary file renamed into place, so a failed save leaves the old
// file whole. On failure the profile stays modified and the failure is reported.
bool saveProfileFile(const std::string& path, const Profile& profile, ErrorReporter& reporter,
                     SaveCommand command);

// The same for batch files ("... is not a valid Velmora batch file").
bool loadBatchFile(const std::string& path, Batch& batch, ErrorReporter& reporter);
bool saveBatchFile(const std::string& path, const Batch& batch, ErrorReporter& reporter, SaveCommand command);

// What a user is told about a profile whose reading stopped early (Profile::damaged): opening
// it, the batch check, the batch run and the command line all say the same.
std::string damagedProfileNotice(const std::string& path, const Profile& profile);

// The main window's title for an open file: "Velmora - " and the file name without extension.
std::string windowTitleFor(const std::string& path);

} // namespace velmora
