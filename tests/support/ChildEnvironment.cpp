#include "support/ChildEnvironment.h"

extern char** environ;

namespace velmora::test {

ChildEnvironment::ChildEnvironment(const std::string& configHome) {
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        if (!text.starts_with("VELMORA_SETTINGS=") && !text.starts_with("XDG_CONFIG_HOME="))
            entries_.push_back(text);
    }
    entries_.push_back("XDG_CONFIG_HOME=" + configHome);
    for (std::string& entry : entries_)
        pointers_.push_back(entry.data());
    pointers_.push_back(nullptr);
}

} // namespace velmora::test
