#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::fuzz {

// One reader or parser driven by arbitrary bytes. Each entry must never crash, hang or leak on
// any input, and reports a broken invariant through the failure handler.
struct Target {
    const char* name; // also the folder of its corpus and of its crash regressions
    void (*run)(std::string_view data);
};

const std::vector<Target>& targets();
const Target* findTarget(std::string_view name);

// Called with the target's name and what went wrong. The default prints both and aborts, so
// that the fuzzer keeps the input; the corpus replay test records a test failure instead.
using FailureHandler = std::function<void(const std::string& target, const std::string& what)>;
void setFailureHandler(FailureHandler handler);

void profileReader(std::string_view data);
void batchReader(std::string_view data);
void settingsReader(std::string_view data);
void patternMatcher(std::string_view data);
void itemParser(std::string_view data);
void exclusionReader(std::string_view data);

} // namespace velmora::fuzz
