#pragma once

#include "engine/FrontEndPort.h"

#include <cstdio>
#include <string>

namespace velmora {

// A front end for benchmarks: answers every question with yes and prints only messages.
class QuietFrontEnd : public FrontEndPort {
public:
    void pump() override {}
    void message(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    bool question(const std::string&) override { return true; }
    DeleteAnswer confirmDelete(const std::string&, const std::array<std::string, 4>&) override {
        return DeleteAnswer::Yes;
    }
    bool checkList(CheckListSets&) override { return true; }
    void report(const SyncResults&) override {}
    void progress(const ProgressView&) override {}
    void runningChanged(RunningState) override {}
};

} // namespace velmora
