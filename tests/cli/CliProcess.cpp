#include "CliProcess.h"

#include "support/ChildEnvironment.h"

#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>

namespace velmora::cli::test {

CliResult runCli(velmora::test::TempDir& dir, std::vector<std::string> args, const std::string& input,
                 const std::string& workingFolder) {
    args.insert(args.begin(), VELMORA_CLI_PATH);
    velmora::test::ChildEnvironment environment(dir.at("config"));

    const std::string inPath = dir.at(".cli-in");
    const std::string outPath = dir.at(".cli-out");
    const std::string errPath = dir.at(".cli-err");
    dir.writeFile(".cli-in", input);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (!workingFolder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());

    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environment.get());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        throw std::runtime_error("cannot start " + args[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }

    CliResult result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    result.out = velmora::test::TempDir::readFile(outPath);
    result.err = velmora::test::TempDir::readFile(errPath);
    return result;
}

} // namespace velmora::cli::test
