#include "profiles/Batch.h"

#include "profiles/Profile.h"

namespace velmora {

namespace {

constexpr const char* kEol = "\r\n";

bool fitsOnOneLine(const std::string& text) {
    return text.find('\n') == std::string::npos && (text.empty() || text.back() != '\r');
}

} // namespace

bool Batch::write(std::ostream& out) const {
    bool faithful = true;
    out << "file_type=Velmora_batch" << kEol;
    out << "velmora_version=" << versionText(Profile::kFileVersion) << kEol;
    modified = false;
    out << "profiles=" << kEol;
    for (const std::string& path : profiles) {
        if (!fitsOnOneLine(path)) {
            faithful = false;
            continue;
        }
        out << path << kEol;
    }
    out << "end_profiles" << kEol;
    return faithful && out.good();
}

bool Batch::read(std::istream& in) {
    profiles.clear();
    valid = false;
    modified = false;

    std::string key;
    if (readKey(in, key) && key == "file_type") {
        std::string type;
        in >> type;
        valid = type == "Velmora_batch";
    }
    // The version line must follow the file type directly: each key after it is taken only
    // while the one before it left the batch valid.
    if (valid) {
        valid = false;
        while (readKey(in, key)) {
            if (key == "velmora_version") {
                double version = 0.0;
                in >> version;
                setLastReadVersion(version);
                valid = true;
            } else if (key == "profiles") {
                skipToListStart(in);
                // Without "end_profiles" the failed read at the end of the file still gives one
                // (empty) path, which a batch run skips.
                std::string line;
                while (in.good()) {
                    std::getline(in, line);
                    if (!line.empty() && line.back() == '\r')
                        line.pop_back();
                    if (line == "end_profiles")
                        break;
                    profiles.push_back(line);
                }
            }
            if (!valid)
                break;
        }
    }
    if (!valid)
        profiles.clear();
    return valid;
}

} // namespace velmora
