#include "engine/RunFlags.h"

#include <csignal>

namespace velmora {

StopCause stopCauseOfSignal(int signal) {
    switch (signal) {
    case SIGINT:
        return StopCause::Interrupt;
    case SIGTERM:
        return StopCause::Terminate;
    case SIGHUP:
        return StopCause::Hangup;
    default:
        return StopCause::StopButton;
    }
}

} // namespace velmora
