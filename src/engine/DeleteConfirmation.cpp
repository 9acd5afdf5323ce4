#include "engine/DeleteConfirmation.h"

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

namespace {

// The bytes of the first `characters` UTF-8 characters: a character is never cut in two (a byte
// that continues a sequence stays with the one before it, also in a name that is not UTF-8).
std::size_t bytesOfCharacters(std::string_view text, std::size_t characters) {
    std::size_t end = 0;
    std::size_t count = 0;
    for (; end < text.size(); ++end) {
        if ((static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            continue;
        if (count == characters)
            break;
        ++count;
    }
    return end;
}

} // namespace

std::array<std::string, 4> DeleteConfirmation::splitLines(std::string_view text) {
    std::array<std::string, 4> lines;
    for (std::string& line : lines) {
        const std::size_t take = bytesOfCharacters(text, kLineLength);
        line.assign(text.substr(0, take));
        text.remove_prefix(take);
    }
    return lines;
}

} // namespace velmora
