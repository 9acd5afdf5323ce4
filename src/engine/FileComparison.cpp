#include "engine/FileComparison.h"

#include "items/TimeValue.h"

#include <cstdint>

namespace velmora {

namespace {

void shiftDate(DateValue& date, int days) {
    // An empty date stays empty: there is nothing to move.
    if (days != 0 && !date.empty())
        date.addDays(days);
}

} // namespace

bool sourceDiffers(const FileItem& source, const FileItem& target, const SyncOptions& options) {
    if (!options.compareOnTime)
        return source.size != target.size;

    DateTimeValue shifted{target.date, target.time};
    shiftDate(shifted.date, shifted.time.addHours(options.adjustHours));
    shiftDate(shifted.date, shifted.time.addMinutes(options.adjustMinutes));

    const DateTimeValue sourceTime{source.date, source.time};
    if (!(sourceTime > shifted))
        return false;
    // Unsigned on purpose: a later source whose day count cannot be taken (an empty date on one
    // side) gives a negative difference, which then counts as a large one and copies.
    const auto seconds = static_cast<std::uint64_t>(sourceTime.secondsSince(shifted));
    return seconds > options.requiredTimeDifference;
}

} // namespace velmora
