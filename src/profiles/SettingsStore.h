#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace velmora {

// What reading a settings file found.
struct SettingsFileCheck {
    enum class Kind {
        Sound,       // every line read (or an empty file)
        Missing,     // no such file: a first run
        Unreadable,  // cannot be read: a folder, no permission...
        Damaged,     // a settings file with lines that cannot be read
        NotSettings, // no line of it is a setting
    };
    Kind kind = Kind::Sound;
    int error = 0;           // Unreadable: why
    std::size_t badLine = 0; // Damaged: the first line that cannot be read, from 1
    // Why the file cannot be used as it is ("Is a directory", "line 3 cannot be read").
    std::string reason() const;
};

// Named 32-bit numbers and byte strings kept between runs of the program, in one text file:
//   n NAME=DECIMAL      (0 to 4294967295)
//   s NAME=TEXT         (bytes; '\\', control bytes and 0x7F escaped as \\, \n, \r, \t, \xHH)
// A line that does not parse, or a value of the other type, reads as absent. Reading never
// changes the file; every write saves the whole file through a temporary file and a rename, so
// a failed save leaves the old file whole. Lines the program cannot read are kept as they are.
class SettingsStore {
public:
    using Value = std::variant<std::uint32_t, std::string>;
    struct NamedValue {
        std::string name;
        Value value;
    };

    explicit SettingsStore(std::string filePath);

    // $VELMORA_SETTINGS when set, else $XDG_CONFIG_HOME/Larkspire/Velmora.conf, with ~/.config
    // when XDG_CONFIG_HOME is unset or empty.
    static std::string defaultFilePath();

    const std::string& filePath() const { return filePath_; }

    // Reads the whole file and says whether it can be used as it is.
    SettingsFileCheck check() const;
    // A damaged file, or one that is no settings file, is kept as "<file>.damaged" and the file is
    // written anew with only the lines that can be read. Answers what check() found; a read-only
    // store changes nothing.
    SettingsFileCheck setAsideIfDamaged();

    // A read-only store never touches its file: every write answers 0 and changes nothing.
    // The command line reads the settings but leaves them to the desktop program.
    void setReadOnly(bool on) { readOnly_ = on; }
    bool readOnly() const { return readOnly_; }

    std::optional<std::uint32_t> readNumber(std::string_view name) const;
    std::optional<std::string> readString(std::string_view name) const;
    // A signed value stored in two's complement: -1 is kept as 4294967295.
    std::optional<std::int32_t> readSigned(std::string_view name) const;

    // Each answers 0 or the errno of the failed save; callers may ignore a failure.
    int writeNumber(std::string_view name, std::uint32_t value);
    int writeSigned(std::string_view name, std::int32_t value);
    int writeString(std::string_view name, std::string_view text);
    // Several values in one save of the file, in the order given.
    int writeValues(const std::vector<NamedValue>& values);

private:
    std::optional<Value> readValue(std::string_view name) const;

    std::string filePath_;
    bool readOnly_ = false;
};

} // namespace velmora
