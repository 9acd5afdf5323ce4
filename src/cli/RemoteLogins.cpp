#include "cli/RemoteLogins.h"

#include "cli/Terminal.h"
#include "sftp/OpenLocation.h"
#include "smb/OpenShare.h"

#include <istream>
#include <ostream>

namespace velmora::cli {

std::string RemoteLogins::openShare(const std::string& location) {
    smb::SmbLogin login;
    login.timeoutSeconds = answers_.timeoutSeconds;
    if (!answers_.credentialsFile.empty()) {
        std::string error;
        login.credentials = smb::readCredentialsFile(answers_.credentialsFile, error);
        if (!login.credentials)
            return error;
    }
    if (answers_.canAsk) {
        login.askCredentials = [this](const std::string& share) -> std::optional<smb::SmbCredentials> {
            smb::SmbCredentials asked;
            answers_.err << "User for " << share << " (DOMAIN\\user or user): " << std::flush;
            if (!std::getline(answers_.in, asked.user) || asked.user.empty())
                return std::nullopt;
            if (const std::size_t slash = asked.user.find('\\'); slash != std::string::npos) {
                asked.domain = asked.user.substr(0, slash);
                asked.user.erase(0, slash + 1);
            }
            answers_.err << "Password: " << std::flush;
            std::optional<std::string> password = readWithoutEcho(answers_.in);
            answers_.err << '\n';
            if (!password)
                return std::nullopt;
            asked.password = *password;
            return asked;
        };
    }
    return smb::openShare(fileSystem_, location, login);
}

std::string RemoteLogins::open(const std::string& location) {
    if (location.size() > 6 &&
        (location.compare(0, 6, "smb://") == 0 || location.compare(0, 6, "SMB://") == 0))
        return openShare(location);
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
