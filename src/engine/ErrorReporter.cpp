#include "engine/ErrorReporter.h"

#include "engine/FrontEndPort.h"
#include "engine/LastReason.h"
#include "engine/RunLog.h"

namespace velmora {

ErrorReporter::ErrorReporter(FrontEndPort& frontEnd, RunLog& log, LastReason& lastReason)
    : frontEnd_(frontEnd), log_(log), lastReason_(lastReason) {}

void ErrorReporter::report(std::string_view context, std::string_view message, bool withReason) {
    deliver(context, message, withReason, !silent_ || shownWhenSilent_);
}

void ErrorReporter::reportAlwaysShown(std::string_view context, std::string_view message, bool withReason) {
    deliver(context, message, withReason, true);
}

void ErrorReporter::deliver(std::string_view context, std::string_view message, bool withReason, bool show) {
    std::string text(message);
    if (withReason) {
        text += '\n';
        text += lastReason_.get();
    }
    if (show)
        frontEnd_.message(text);
    if (log_.isOpen()) {
        log_.write(context);
        log_.write(": ");
        log_.write(text);
        log_.write('\n');
        log_.flush();
    }
}

} // namespace velmora
