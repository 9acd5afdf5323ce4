#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

// What a run asks of its plan's deletes before anything changes, on top of the profile's options.
struct RunSafeguards {
    // A plan that would remove more files and folders than this (the content of the folders it
    // deletes counted too) does not go ahead.
    std::optional<std::uint64_t> maxDeletes;
    // A plan that deletes from the target while the source folder is empty: the typical unmounted
    // disk. Asked about where a person can answer, refused where nobody can (a silent run, the
    // command line), gone ahead with only when explicitly allowed. The limit above never lifts it.
    enum class EmptySource { Ask, Refuse, Allow };
    EmptySource emptySource = EmptySource::Ask;
    // A target folder that does not exist while the folder above it does: created before the
    // analysis, or, for a plan that carries nothing out, analysed as an empty folder.
    enum class MissingTarget { Fail, Create, AssumeEmpty };
    MissingTarget missingTarget = MissingTarget::Fail;
    // A run whose log cannot be opened does not go ahead: the user asked for a record.
    bool requireLog = false;
};

// Why a run whose folders could be read did not go ahead. DeletesNotCounted: a limit was set and
// a folder to delete could not be listed, so the plan could not be shown to stay within it.
enum class Refusal { None, TooManyDeletes, DeletesNotCounted, EmptySource, LogNotOpened };

// Everything a plan would remove: its files and folders to delete and what those folders hold.
struct DeleteTally {
    std::uint64_t items = 0;
    bool complete = true;    // false when a folder to delete could not be listed
    std::string unlisted;    // the first such folder
    std::string unlistedWhy; // and why
};

// The verdict on a plan's deletes. AskFirst: the empty-source question decides.
enum class DeleteVerdict { GoAhead, TooMany, NotCounted, EmptySource, AskFirst };

// `silent`: nobody is there to answer a question.
DeleteVerdict judgeDeletes(const RunSafeguards& guards, const DeleteTally& tally, bool sourceEmpty,
                           bool silent);

} // namespace velmora
