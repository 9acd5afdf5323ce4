#pragma once

#include "platform/CommandGate.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <sys/types.h>

namespace velmora::platform {

// Hands `size` bytes to a remote file in pieces of at most `most` bytes: gives up with ECANCELED
// once the gate is abandoned, tells progress after each piece, and answers the first failure.
// `write(data, count)` answers the bytes taken (0 or less: failed); `failure()` then names the errno.
template <class Write, class Failure>
int writeInPieces(const char* data, std::size_t size, std::size_t most, CommandGate* gate, Write write,
                  Failure failure) {
    while (size > 0) {
        if (isAbandoned(gate))
            return ECANCELED;
        const ssize_t sent = write(data, std::min(size, most));
        if (sent <= 0)
            return failure();
        data += sent;
        size -= static_cast<std::size_t>(sent);
        progressed(gate);
    }
    return 0;
}

} // namespace velmora::platform
