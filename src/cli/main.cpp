#include "cli/CliApp.h"
#include "cli/Terminal.h"

#include <iostream>

int main(int argc, char** argv) {
    using namespace velmora::cli;
    CliEnvironment environment{std::cin,      std::cout,        std::cerr, isTerminal(0),
                               isTerminal(2), terminalWidth(2), {},        setInterruptTarget};
    return CliApp(environment).run({argv + (argc > 0 ? 1 : 0), argv + argc});
}
