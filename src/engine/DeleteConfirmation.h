#pragma once

#include "engine/FrontEndPort.h"

#include <array>
#include <string>
#include <string_view>

namespace velmora {

// Asks before a planned delete, remembering Yes To All and No To All in the flags the caller
// passes (one pair for files, another for folders).
class DeleteConfirmation {
public:
    enum class Result : int { GoAhead = 0, Skip = 1, CancelRun = 2 };

    // The dialog has four lines of at most this many characters.
    static constexpr std::size_t kLineLength = 120;

    DeleteConfirmation(FrontEndPort& frontEnd, bool silent) : frontEnd_(frontEnd), silent_(silent) {}

    // Silent mode and a Yes To All given earlier go ahead without asking; a No To All given
    // earlier skips without asking. Any answer other than the four (the close box) cancels.
    Result ask(const std::string& caption, std::string_view text, bool& yesToAll, bool& noToAll);

    // The first four slices of kLineLength characters (not bytes); what is beyond them is dropped and
    // missing lines stay empty.
    static std::array<std::string, 4> splitLines(std::string_view text);

private:
    FrontEndPort& frontEnd_;
    bool silent_;
};

} // namespace velmora
