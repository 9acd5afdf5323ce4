#include "desktop/RemoteLogins.h"

#include "app/RememberedLogins.h"
#include "desktop/Keyring.h"
#include "desktop/PasswordDlg.h"
#include "remote/RemoteAddress.h"
#include "sftp/OpenLocation.h"
#include "smb/OpenShare.h"
#include "widgets/MessageBoxes.h"
#include "widgets/Text.h"

#include <cerrno>
#include <memory>
#include <pwd.h>
#include <unistd.h>

namespace velmora::desktop {

namespace {

// ssh(1) logs in as the local user when the location names none: the password is theirs.
std::string localUser() {
    const passwd* entry = getpwuid(getuid());
    return entry != nullptr && entry->pw_name != nullptr ? entry->pw_name : "";
}

// Which remembered password a location's login uses. The port is the scheme's usual one when
// none is typed, so that both spellings find the same password.
LoginKey loginKeyOf(const remote::RemoteAddress& address) {
    LoginKey key;
    key.scheme = address.scheme;
    key.server = address.host;
    key.port = address.port != 0 ? address.port : (address.scheme == "smb" ? 445 : 22);
    // A share's user is the one typed in the dialog (any, until then); an SFTP login's is fixed.
    key.user = address.user.empty() && address.scheme != "smb" ? localUser() : address.user;
    return key;
}

std::optional<LoginAnswer> askInDialog(QWidget* parent, PasswordDlg::Kind kind, const QString& where,
                                       const LoginKey& key, bool canRemember) {
    const std::string typedUser = key.domain.empty() ? key.user : key.domain + "\\" + key.user;
    PasswordDlg dialog(kind, where, widgets::fromText(typedUser), canRemember, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return LoginAnswer{dialog.user().toStdString(), dialog.password().toStdString(), dialog.remember()};
}

// Says, after the login, that a password the user asked to keep could not be kept.
void tellRememberError(QWidget* parent, const LoginMemory& memory) {
    if (!memory.rememberError().empty())
        widgets::showMessage(parent, widgets::fromText(memory.rememberError()));
}

std::string openShare(remote::RoutingFileSystem& fileSystem, const std::string& location,
                      const remote::RemoteAddress& address, PasswordVault& vault, QWidget* parent,
                      bool browsing) {
    LoginMemory memory(&vault, loginKeyOf(address));
    smb::SmbLogin login;
    login.askCredentials = [&memory, parent](const std::string& share) -> std::optional<smb::SmbCredentials> {
        std::optional<RememberedLogin> given = memory.next([&](const LoginKey& key, bool canRemember) {
            return askInDialog(parent, PasswordDlg::Kind::UserAndPassword, widgets::fromText(share), key,
                               canRemember);
        });
        if (!given || given->key.user.empty())
            return std::nullopt;
        return smb::SmbCredentials{given->key.user, given->key.domain, given->password};
    };
    login.credentialsAnswered = [&memory](bool accepted) { memory.answered(accepted); };
    std::string error =
        browsing ? smb::openServer(fileSystem, location, login) : smb::openShare(fileSystem, location, login);
    tellRememberError(parent, memory);
    return error;
}

std::string openSftp(remote::RoutingFileSystem& fileSystem, const std::string& location,
                     const remote::RemoteAddress& address, PasswordVault& vault, QWidget* parent) {
    LoginMemory memory(&vault, loginKeyOf(address));
    sftp::SftpLogin login;
    login.trustNewHostKey = [parent](const std::string& host, const std::string& fingerprint) {
        return widgets::askQuestion(
            parent,
            widgets::fromText("The host key of " + host + " is not known yet. Its fingerprint is\n" +
                              fingerprint + "\n\nTrust it and remember it in known_hosts?"),
            widgets::Default::No);
    };
    const std::string where = (address.user.empty() ? std::string() : address.user + "@") + address.host;
    login.askPassword = [&memory, parent, where](const std::string&) -> std::optional<std::string> {
        std::optional<RememberedLogin> given = memory.next([&](const LoginKey& key, bool canRemember) {
            return askInDialog(parent, PasswordDlg::Kind::Password, widgets::fromText(where), key,
                               canRemember);
        });
        if (!given)
            return std::nullopt;
        return given->password;
    };
    login.passwordAnswered = [&memory](bool accepted) { memory.answered(accepted); };
    std::string error = sftp::openLocation(fileSystem, location, login);
    tellRememberError(parent, memory);
    return error;
}

} // namespace

std::function<std::string(const std::string&)> remoteLocationOpener(remote::RoutingFileSystem& fileSystem,
                                                                    QWidget* parent, bool browsing) {
    // One keyring for the window's life: it is reached once, when a password is first needed.
    auto keyring = std::make_shared<Keyring>();
    return [&fileSystem, parent, keyring, browsing](const std::string& location) -> std::string {
        if (!remote::isRemoteLocation(location))
            return {};
        const remote::RemoteAddressResult parsed = remote::parseRemoteAddress(location);
        if (!parsed.address)
            return parsed.error;
        // A share server opened for browsing may still want a login of its own for one share.
        const bool connected = fileSystem.hasServer(remote::serverPart(location));
        if (connected && !(browsing && parsed.address->scheme == "smb"))
            return {};
        if (parsed.address->scheme == "smb")
            return openShare(fileSystem, location, *parsed.address, *keyring, parent, browsing);
        return openSftp(fileSystem, location, *parsed.address, *keyring, parent);
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
