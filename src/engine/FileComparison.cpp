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

// Seconds since the epoch: the target's instant moved by the adjustment, then compared.
bool laterInstant(std::int64_t source, std::int64_t target, const SyncOptions& options) {
    const std::int64_t shifted =
        target + std::int64_t{options.adjustHours} * 3600 + std::int64_t{options.adjustMinutes} * 60;
    return source > shifted && source - shifted > std::int64_t{options.requiredTimeDifference};
}

} // namespace

bool sourceDiffers(const FileItem& source, const FileItem& target, const SyncOptions& options) {
    if (!options.compareOnTime)
        return source.size != target.size;
    if (source.modifiedAt && target.modifiedAt)
        return laterInstant(*source.modifiedAt, *target.modifiedAt, options);

    // Items that carry only the packed local values (not from a listing) compare those.

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
