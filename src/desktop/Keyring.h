#pragma once

#include "app/RememberedLogins.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace velmora::desktop {

// The desktop keyring (the freedesktop Secret Service on the session bus), holding the passwords
// of remote logins the user asked to remember, under attributes of our own: the scheme, server,
// port, user and domain. Every call is bounded: with no session bus, or nothing on it that keeps
// secrets, a call answers "not found" at once; one that stops answering is given up after the
// limit, so the window never waits for long. Use from one thread.
class Keyring final : public PasswordVault {
public:
    struct Limits {
        // For reaching the bus and opening a session with the keyring.
        std::chrono::milliseconds connect{3000};
        // For each look-up, store or removal; long enough to type the keyring's own password
        // when the desktop asks for it to unlock the keyring.
        std::chrono::milliseconds call{15000};
    };

    // The keyring on the desktop's session bus ($DBUS_SESSION_BUS_ADDRESS, else
    // $XDG_RUNTIME_DIR/bus), reached when first needed; no bus is started when there is none.
    Keyring();
    explicit Keyring(Limits limits);
    ~Keyring() override;
    Keyring(const Keyring&) = delete;
    Keyring& operator=(const Keyring&) = delete;

    bool available() override;
    std::optional<RememberedLogin> lookUpPassword(const LoginKey& key) override;
    std::string rememberPassword(const LoginKey& key, const std::string& password,
                                 const std::string& label) override;
    void forgetPassword(const LoginKey& key) override;

    // The address of the desktop's session bus, or "" when it has none.
    static std::string sessionBusAddress();

private:
    struct Service;
    Service* service();

    Limits limits_;
    bool tried_ = false;
    std::unique_ptr<Service> service_;
};

} // namespace velmora::desktop
