#include "cli/RemoteLogins.h"

#include "cli/Terminal.h"
#include "sftp/OpenLocation.h"

#include <istream>
#include <ostream>

namespace velmora::cli {

std::string RemoteLogins::open(const std::string& location) {
    sftp::SftpLogin login;
    login.sshFolder = answers_.sshFolder;
    login.timeoutSeconds = answers_.timeoutSeconds;
    login.acceptNewHostKey = answers_.acceptNewHostKey;
    if (answers_.canAsk) {
        login.trustNewHostKey = [this](const std::string& host, const std::string& fingerprint) {
            answers_.err << "The host key of " << host << " is not known yet. Its fingerprint is\n  "
                         << fingerprint << "\nTrust it and remember it in known_hosts? [y/N] " << std::flush;
            std::string answer;
            std::getline(answers_.in, answer);
            return answer == "y" || answer == "Y" || answer == "yes";
        };
        login.askPassword = [this](const std::string& prompt) -> std::optional<std::string> {
            answers_.err << prompt << std::flush;
            std::optional<std::string> password = readWithoutEcho(answers_.in);
            answers_.err << '\n';
            return password;
        };
    }
    std::string error = sftp::openLocation(fileSystem_, location, login);
    if (!error.empty() && !answers_.canAsk && error.find("is not known") != std::string::npos)
        error += " (--accept-new-host-key trusts it without asking)";
    return error;
}

} // namespace velmora::cli
