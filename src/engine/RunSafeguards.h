#pragma once

#include <cstdint>
#include <optional>

namespace velmora {

// What a front end that nobody watches (the command line under cron) asks of every run on top
// of the profile's options. All off by default: the desktop program has its check-list instead.
struct RunSafeguards {
    // A plan that deletes more files and folders than this does not go ahead.
    std::optional<std::uint64_t> maxDeletes;
    // A plan that deletes anything while the source folder is empty (the typical unmounted disk)
    // does not go ahead, unless maxDeletes allows that many deletes.
    bool refuseEmptySource = false;
    // A target folder that does not exist while the folder above it does: created before the
    // analysis, or, for a plan that carries nothing out, analysed as an empty folder.
    enum class MissingTarget { Fail, Create, AssumeEmpty };
    MissingTarget missingTarget = MissingTarget::Fail;
    // A run whose log cannot be opened does not go ahead: the user asked for a record.
    bool requireLog = false;
};

// Why a run whose folders could be read did not go ahead.
enum class Refusal { None, TooManyDeletes, EmptySource, LogNotOpened };

// Judges a plan's deletes. `sourceEmpty` is asked only when the answer depends on it.
template <typename SourceEmpty>
Refusal judgeDeletes(const RunSafeguards& guards, std::uint64_t plannedDeletes, SourceEmpty sourceEmpty) {
    if (plannedDeletes == 0)
        return Refusal::None;
    if (guards.maxDeletes)
        return plannedDeletes > *guards.maxDeletes ? Refusal::TooManyDeletes : Refusal::None;
    if (guards.refuseEmptySource && sourceEmpty())
        return Refusal::EmptySource;
    return Refusal::None;
}

} // namespace velmora
