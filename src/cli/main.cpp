#include "cli/CliApp.h"
#include "cli/Terminal.h"
#include "engine/FileCommand.h"
#include "platform/Threads.h"

#include <chrono>
#include <csignal>
#include <iostream>

int main(int argc, char** argv) {
    using namespace velmora::cli;
    // A reader that went away must not end a run half-way: writes to it fail instead, and the
    // report then goes to standard error.
    std::signal(SIGPIPE, SIG_IGN);
    CliEnvironment environment{std::cin,      std::cout,        std::cerr, isTerminal(0),
                               isTerminal(2), terminalWidth(2), {},        setInterruptTarget};
    const int status = CliApp(environment).run({argv + (argc > 0 ? 1 : 0), argv + argc});
    // Copies given up on Stop or their timeout remove their temporary files when their call
    // returns: give them that moment, but never hang on a share that does not answer.
    velmora::FileCommands::settle(std::chrono::seconds(2));
    if (!velmora::platform::waitForOtherThreads(std::chrono::seconds(2))) {
        // A call given up on a server or share that stopped answering still hangs in its library:
        // the libraries' clean-up at exit must not run beside it.
        std::cout.flush();
        std::cerr.flush();
        velmora::platform::endProcessNow(status);
    }
    return status;
}
