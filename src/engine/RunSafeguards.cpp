#include "engine/RunSafeguards.h"

namespace velmora {

DeleteVerdict judgeDeletes(const RunSafeguards& guards, const DeleteTally& tally, bool sourceEmpty,
                           bool silent) {
    if (tally.items == 0)
        return DeleteVerdict::GoAhead;
    if (sourceEmpty) {
        switch (guards.emptySource) {
        case RunSafeguards::EmptySource::Refuse:
            return DeleteVerdict::EmptySource;
        case RunSafeguards::EmptySource::Ask:
            return silent ? DeleteVerdict::EmptySource : DeleteVerdict::AskFirst;
        case RunSafeguards::EmptySource::Allow:
            break;
        }
    }
    if (guards.maxDeletes) {
        if (tally.items > *guards.maxDeletes)
            return DeleteVerdict::TooMany;
        if (!tally.complete)
            return DeleteVerdict::NotCounted;
    }
    return DeleteVerdict::GoAhead;
}

} // namespace velmora
