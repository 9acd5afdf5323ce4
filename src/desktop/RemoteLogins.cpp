#include "desktop/RemoteLogins.h"

#include "sftp/OpenLocation.h"
#include "widgets/MessageBoxes.h"
#include "widgets/Text.h"

#include <QInputDialog>
#include <QLineEdit>

namespace velmora::desktop {

std::function<std::string(const std::string&)> remoteLocationOpener(remote::RoutingFileSystem& fileSystem,
                                                                    QWidget* parent) {
    return [&fileSystem, parent](const std::string& location) {
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

} // namespace velmora::desktop
