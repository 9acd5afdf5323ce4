#include "app/BatchList.h"

#include "app/ProfileFiles.h"
#include "engine/ErrorReporter.h"
#include "platform/AtomicFile.h"
#include "profiles/Batch.h"
#include "profiles/Profile.h"

#include <sstream>

namespace velmora {

BatchList::BatchList(std::vector<std::string> entries) : entries_(std::move(entries)) {}

void BatchList::select(std::set<std::size_t> positions) {
    std::erase_if(positions, [this](std::size_t position) { return position >= entries_.size(); });
    selection_ = std::move(positions);
}

bool BatchList::canMoveUp() const {
    return selection_.size() == 1 && *selection_.begin() > 0;
}

bool BatchList::canMoveDown() const {
    return selection_.size() == 1 && *selection_.begin() + 1 < entries_.size();
}

bool BatchList::canRemove() const {
    return !selection_.empty();
}

void BatchList::moveUp() {
    move(-1);
}

void BatchList::moveDown() {
    move(+1);
}

void BatchList::move(int step) {
    if (selection_.empty())
        return;
    const std::size_t from = *selection_.begin();
    if ((step < 0 && from == 0) || (step > 0 && from + 1 >= entries_.size()))
        return;
    const std::size_t to = step < 0 ? from - 1 : from + 1;
    std::swap(entries_[from], entries_[to]);
    selection_ = {to};
}

void BatchList::remove() {
    // From the back, so that the positions still to remove stay valid.
    for (auto position = selection_.rbegin(); position != selection_.rend(); ++position)
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(*position));
    selection_.clear();
}

void BatchList::add(const std::vector<std::string>& paths, const Checker& accept) {
    for (const std::string& path : paths)
        if (!accept || accept(path))
            entries_.push_back(path);
}

void BatchList::addProfiles(const std::vector<std::string>& paths, ErrorReporter& reporter) {
    add(paths, [&reporter](const std::string& path) { return acceptableBatchProfile(path, reporter); });
}

void BatchList::applyTo(Batch& batch) const {
    batch.profiles = entries_;
    batch.modified = true;
}

bool acceptableBatchProfile(const std::string& path, ErrorReporter& reporter) {
    constexpr const char* context = "BatchDlg::checkProfile";
    std::string contents;
    if (platform::readWholeFile(path, contents) != 0)
        return false;
    Profile candidate;
    std::istringstream in(contents);
    if (!candidate.read(in)) {
        reporter.report(context, path + " is not a valid Velmora profile");
        return false;
    }
    if (candidate.damaged()) {
        reporter.report(context, damagedProfileNotice(path, candidate));
        return false;
    }
    if (candidate.autoStart != AutoStartDirection::OneToTwo &&
        candidate.autoStart != AutoStartDirection::TwoToOne) {
        reporter.report(context, "The profile " + path +
                                     "\n must have Auto Start selected to be used as a batch profile");
        return false;
    }
    return true;
}

} // namespace velmora
