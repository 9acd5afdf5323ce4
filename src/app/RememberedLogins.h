#pragma once

#include <functional>
#include <optional>
#include <string>

namespace velmora {

// Which login a remembered password belongs to.
struct LoginKey {
    std::string scheme; // "sftp" or "smb"
    std::string server;
    int port = 0; // the scheme's usual port when the location names none
    std::string user;
    std::string domain; // the domain or workgroup of a share; empty for SFTP
};

struct RememberedLogin {
    LoginKey key;
    std::string password;
};

// Where passwords may be kept between runs (the desktop keyring). Every call returns within a
// bounded time, also when nothing answers; a password never leaves it but to the caller.
class PasswordVault {
public:
    virtual ~PasswordVault() = default;
    // Whether something answers at all: when not, nothing can be remembered.
    virtual bool available() = 0;
    // The password kept for `key`; an empty user or domain in `key` matches any, and the key
    // found says which. Nothing when none is kept or nothing answers.
    virtual std::optional<RememberedLogin> lookUpPassword(const LoginKey& key) = 0;
    // Keeps `password` for `key` (replacing an older one) under `label`: "" or why it could not.
    virtual std::string rememberPassword(const LoginKey& key, const std::string& password,
                                         const std::string& label) = 0;
    virtual void forgetPassword(const LoginKey& key) = 0;
};

// How a remembered login is named where the user sees the keyring: "Velmora: ann@backup (SFTP)".
std::string rememberedLabel(const LoginKey& key);

// What the user answered in the password dialog.
struct LoginAnswer {
    std::string user; // shares only: the user name as typed, DOMAIN\user allowed
    std::string password;
    bool remember = false;
};

// The password of one login to one server, asked as often as the server refuses it. The first
// time a password is needed the one remembered is tried without asking; one the server refuses
// is forgotten and the user asked instead; one the user asked to remember is kept once the server
// has taken it. The user and domain of a share come with the answer; an SFTP login's do not.
class LoginMemory {
public:
    // `vault` may be null: then every password is asked for.
    LoginMemory(PasswordVault* vault, LoginKey key);

    // What the dialog is shown: the key (its user as asked last) and whether Remember may be ticked.
    using Ask = std::function<std::optional<LoginAnswer>(const LoginKey& key, bool canRemember)>;
    // The login to give the server next, or nothing when the user gave up.
    std::optional<RememberedLogin> next(const Ask& ask);
    // The server's verdict on the login `next` gave last.
    void answered(bool accepted);
    // Why a password the user asked to remember could not be kept ("" when it was, or none was asked).
    const std::string& rememberError() const { return rememberError_; }

private:
    PasswordVault* vault_;
    LoginKey key_;
    bool lookedUp_ = false;
    bool fromVault_ = false;
    bool rememberLast_ = false;
    std::optional<std::string> lastPassword_;
    std::string rememberError_;
};

// "DOMAIN\user" or "user" split into its user and domain.
void splitDomainUser(const std::string& typed, std::string& user, std::string& domain);

} // namespace velmora
