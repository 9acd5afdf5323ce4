#include "app/RememberedLogins.h"

namespace velmora {

std::string rememberedLabel(const LoginKey& key) {
    std::string who = key.domain.empty() ? key.user : key.domain + "\\" + key.user;
    if (!who.empty())
        who += "@";
    return "Velmora: " + who + key.server + (key.scheme == "smb" ? " (SMB)" : " (SFTP)");
}

void splitDomainUser(const std::string& typed, std::string& user, std::string& domain) {
    const std::size_t slash = typed.find('\\');
    if (slash == std::string::npos) {
        user = typed;
        domain.clear();
        return;
    }
    domain = typed.substr(0, slash);
    user = typed.substr(slash + 1);
}

LoginMemory::LoginMemory(PasswordVault* vault, LoginKey key) : vault_(vault), key_(std::move(key)) {}

std::optional<RememberedLogin> LoginMemory::next(const Ask& ask) {
    if (!lookedUp_) {
        lookedUp_ = true;
        if (vault_ != nullptr) {
            if (std::optional<RememberedLogin> kept = vault_->lookUpPassword(key_)) {
                key_ = kept->key;
                fromVault_ = true;
                rememberLast_ = false;
                lastPassword_ = kept->password;
                return kept;
            }
        }
    }
    fromVault_ = false;
    rememberLast_ = false;
    lastPassword_.reset();
    const bool canRemember = vault_ != nullptr && vault_->available();
    std::optional<LoginAnswer> answer = ask(key_, canRemember);
    if (!answer)
        return std::nullopt;
    if (key_.scheme == "smb")
        splitDomainUser(answer->user, key_.user, key_.domain);
    rememberLast_ = answer->remember && canRemember;
    lastPassword_ = std::move(answer->password);
    return RememberedLogin{key_, *lastPassword_};
}

void LoginMemory::answered(bool accepted) {
    if (vault_ == nullptr || !lastPassword_)
        return;
    if (!accepted && fromVault_)
        vault_->forgetPassword(key_);
    if (accepted && rememberLast_)
        rememberError_ = vault_->rememberPassword(key_, *lastPassword_, rememberedLabel(key_));
    // Told once per password: a second verdict (more sessions opened with it) changes nothing.
    fromVault_ = false;
    rememberLast_ = false;
    lastPassword_.reset();
}

} // namespace velmora
