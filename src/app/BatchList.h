#pragma once

#include <cstddef>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace velmora {

class Batch;
class ErrorReporter;

// Add Files' check of one chosen profile: a file that cannot be read is rejected without a word;
// one that is not a profile, or has no automatic start, is reported and rejected.
bool acceptableBatchProfile(const std::string& path, ErrorReporter& reporter);

// The rules of the batch list dialog: an ordered list of profile paths with a selection. The
// dialog shows `entries()` and the button states and forwards the user's actions; on OK the
// controller takes the entries (AppController::acceptBatchList).
class BatchList {
public:
    // Answers whether a profile file may join a batch (reporting why not).
    using Checker = std::function<bool(const std::string& path)>;

    explicit BatchList(std::vector<std::string> entries = {});

    const std::vector<std::string>& entries() const { return entries_; }
    const std::set<std::size_t>& selection() const { return selection_; }

    // Positions outside the list are ignored.
    void select(std::set<std::size_t> positions);

    bool canMoveUp() const;
    bool canMoveDown() const;
    bool canRemove() const;

    // The first selected entry moves one place up (down) and stays selected; nothing happens at
    // the end of the list.
    void moveUp();
    void moveDown();
    // Removes every selected entry; nothing is selected afterwards.
    void remove();
    // Appends each accepted path in the order given; a path already listed is added again.
    void add(const std::vector<std::string>& paths, const Checker& accept);
    // Add Files: appends the chosen profiles that acceptableBatchProfile lets in.
    void addProfiles(const std::vector<std::string>& paths, ErrorReporter& reporter);

    // OK: the entries become the batch's profiles, in order, and the batch is marked modified
    // even when nothing changed.
    void applyTo(Batch& batch) const;

private:
    void move(int step);

    std::vector<std::string> entries_;
    std::set<std::size_t> selection_;
};

} // namespace velmora
