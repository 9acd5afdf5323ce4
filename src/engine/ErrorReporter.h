#pragma once

#include <string>
#include <string_view>

namespace velmora {

class FrontEndPort;
class LastReason;
class RunLog;

// The one road for error and refusal messages outside a run's problem list: shown through the
// front end unless silent mode is on, and written to the run log while one is open.
class ErrorReporter {
public:
    ErrorReporter(FrontEndPort& frontEnd, RunLog& log, LastReason& lastReason);

    // The message, plus a line feed and the last failure's reason when `withReason` is set.
    // `context` names the reporting class and operation; it goes to the log, never to the user.
    void report(std::string_view context, std::string_view message, bool withReason = false);
    // The same, shown even in silent mode (a refusal the user must see).
    void reportAlwaysShown(std::string_view context, std::string_view message, bool withReason = false);

    bool silent() const { return silent_; }
    void setSilent(bool silent) { silent_ = silent; }
    // A front end whose messages never wait for an answer (the command line's stderr) shows
    // them in silent mode too: an error nobody sees is an error lost.
    void setShownWhenSilent(bool on) { shownWhenSilent_ = on; }

    LastReason& lastReason() { return lastReason_; }
    RunLog& log() { return log_; }

private:
    void deliver(std::string_view context, std::string_view message, bool withReason, bool show);

    FrontEndPort& frontEnd_;
    RunLog& log_;
    LastReason& lastReason_;
    bool silent_ = false;
    bool shownWhenSilent_ = false;
};

} // namespace velmora
