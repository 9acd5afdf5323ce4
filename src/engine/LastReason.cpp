#include "engine/LastReason.h"

#include "platform/ErrorText.h"

namespace velmora {

void LastReason::set(std::string text) {
    std::lock_guard lock(mutex_);
    text_ = std::move(text);
}

void LastReason::setFromError(int errorNumber) {
    set(platform::errorText(errorNumber));
}

std::string LastReason::get() const {
    std::lock_guard lock(mutex_);
    return text_;
}

} // namespace velmora
