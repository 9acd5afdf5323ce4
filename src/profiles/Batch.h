#pragma once

#include "items/TextRecord.h"

#include <string>
#include <vector>

namespace velmora {

// An ordered list of profile files run one after another, kept in a ".vmb" file.
class Batch : public TextRecord {
public:
    // Writes every line with CR LF and clears `modified`. False when a path could not be written
    // faithfully (it holds a line break) or the stream failed.
    bool write(std::ostream& out) const override;
    // A valid file starts with "file_type=Velmora_batch" and then the version line; anything
    // else empties the list and answers false.
    bool read(std::istream& in) override;

    std::vector<std::string> profiles; // full paths; duplicates allowed
    mutable bool modified = false;
    bool valid = false;
};

} // namespace velmora
