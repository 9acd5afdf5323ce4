#pragma once

#include "remote/RoutingFileSystem.h"

#include <iosfwd>
#include <string>

namespace velmora::cli {

// What the command line knows of logging in to other machines.
struct LoginAnswers {
    std::istream& in;
    std::ostream& err;
    bool canAsk = false;           // a person is at the terminal to answer
    bool acceptNewHostKey = false; // --accept-new-host-key
    std::string sshFolder;         // --ssh-dir; empty: ~/.ssh
    std::string credentialsFile;   // --credentials, for shares
    long timeoutSeconds = 30;
};

// Connects the remote locations of a run to the run's file system, asking at the terminal for a
// new host key's trust and for a password when keys do not get in, and never otherwise.
class RemoteLogins {
public:
    RemoteLogins(remote::RoutingFileSystem& fileSystem, LoginAnswers answers)
        : fileSystem_(fileSystem), answers_(std::move(answers)) {}

    // "" when `location` is local or its server is connected now; otherwise why it is not.
    std::string open(const std::string& location);

private:
    std::string openShare(const std::string& location);

    remote::RoutingFileSystem& fileSystem_;
    LoginAnswers answers_;
};

} // namespace velmora::cli
