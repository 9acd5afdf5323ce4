#include "desktop/RemoteLogins.h"

#include "sftp/OpenLocation.h"
#include "smb/OpenShare.h"
#include "widgets/MessageBoxes.h"
#include "widgets/Text.h"

#include <QInputDialog>
#include <QLineEdit>
#include <cerrno>

namespace velmora::desktop {

namespace {

std::string openShare(remote::RoutingFileSystem& fileSystem, const std::string& location, QWidget* parent,
                      bool browsing) {
    smb::SmbLogin login;
    login.askCredentials = [parent](const std::string& share) -> std::optional<smb::SmbCredentials> {
        bool ok = false;
        const QString user =
            QInputDialog::getText(parent, widgets::kProgramName,
                                  widgets::fromText("User name for " + share + " (DOMAIN\\user or user):"),
                                  QLineEdit::Normal, {}, &ok);
        if (!ok || user.isEmpty())
            return std::nullopt;
        const QString password = QInputDialog::getText(
            parent, widgets::kProgramName, QStringLiteral("Password:"), QLineEdit::Password, {}, &ok);
        if (!ok)
            return std::nullopt;
        smb::SmbCredentials credentials;
        credentials.user = user.toStdString();
        credentials.password = password.toStdString();
        if (const std::size_t slash = credentials.user.find('\\'); slash != std::string::npos) {
            credentials.domain = credentials.user.substr(0, slash);
            credentials.user.erase(0, slash + 1);
        }
        return credentials;
    };
    return browsing ? smb::openServer(fileSystem, location, login)
                    : smb::openShare(fileSystem, location, login);
}

} // namespace

std::function<std::string(const std::string&)> remoteLocationOpener(remote::RoutingFileSystem& fileSystem,
                                                                    QWidget* parent, bool browsing) {
    return [&fileSystem, parent, browsing](const std::string& location) {
        if (location.size() > 6 &&
            QString::fromStdString(location.substr(0, 6)).toLower() == QStringLiteral("smb://"))
            return openShare(fileSystem, location, parent, browsing);
        sftp::SftpLogin login;
        login.trustNewHostKey = [parent](const std::string& host, const std::string& fingerprint) {
            return widgets::askQuestion(
                parent,
                widgets::fromText("The host key of " + host + " is not known yet. Its fingerprint is\n" +
                                  fingerprint + "\n\nTrust it and remember it in known_hosts?"),
                widgets::Default::No);
        };
        login.askPassword = [parent](const std::string& prompt) -> std::optional<std::string> {
            bool ok = false;
            const QString password = QInputDialog::getText(
                parent, widgets::kProgramName, widgets::fromText(prompt), QLineEdit::Password, {}, &ok);
            if (!ok)
                return std::nullopt;
            return password.toStdString();
        };
        return sftp::openLocation(fileSystem, location, login);
    };
}

std::function<int(const std::string&, std::vector<RemoteShare>&)>
remoteShareLister(remote::RoutingFileSystem& fileSystem) {
    return [&fileSystem](const std::string& server, std::vector<RemoteShare>& out) {
        std::vector<smb::ShareInfo> found;
        if (const int error = smb::sharesOfServer(fileSystem, server, found))
            return error;
        out.clear();
        for (smb::ShareInfo& share : found)
            out.push_back({std::move(share.name), std::move(share.comment)});
        return 0;
    };
}

} // namespace velmora::desktop
