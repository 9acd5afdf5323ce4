#include "engine/DeleteConfirmation.h"

#include <algorithm>

namespace velmora {

DeleteConfirmation::Result DeleteConfirmation::ask(const std::string& caption, std::string_view text,
                                                   bool& yesToAll, bool& noToAll) {
    if (yesToAll || silent_)
        return Result::GoAhead;
    if (noToAll)
        return Result::Skip;
    switch (frontEnd_.confirmDelete(caption, splitLines(text))) {
    case DeleteAnswer::Yes:
        return Result::GoAhead;
    case DeleteAnswer::YesToAll:
        yesToAll = true;
        return Result::GoAhead;
    case DeleteAnswer::No:
        return Result::Skip;
    case DeleteAnswer::NoToAll:
        noToAll = true;
        return Result::Skip;
    default:
        return Result::CancelRun;
    }
}

std::array<std::string, 4> DeleteConfirmation::splitLines(std::string_view text) {
    std::array<std::string, 4> lines;
    for (std::string& line : lines) {
        const std::size_t take = std::min(text.size(), kLineLength);
        line.assign(text.substr(0, take));
        text.remove_prefix(take);
    }
    return lines;
}

} // namespace velmora
