#include "desktop/Keyring.h"

#include "platform/Environment.h"

#include <condition_variable>
#include <libsecret/secret.h>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace velmora::desktop {

namespace {

// Our own kind of keyring entry, so that a look-up never finds another program's password.
const SecretSchema* passwordSchema() {
    static const SecretSchema schema = [] {
        SecretSchema made{};
        made.name = "org.velmora.Password";
        made.flags = SECRET_SCHEMA_NONE;
        made.attributes[0] = {"scheme", SECRET_SCHEMA_ATTRIBUTE_STRING};
        made.attributes[1] = {"server", SECRET_SCHEMA_ATTRIBUTE_STRING};
        made.attributes[2] = {"port", SECRET_SCHEMA_ATTRIBUTE_INTEGER};
        made.attributes[3] = {"user", SECRET_SCHEMA_ATTRIBUTE_STRING};
        made.attributes[4] = {"domain", SECRET_SCHEMA_ATTRIBUTE_STRING};
        return made;
    }();
    return &schema;
}

// A GCancellable that cancels itself when the limit passes first: every blocking call of the
// keyring gets one, so a keyring that stopped answering costs at most the limit.
class Deadline {
public:
    explicit Deadline(std::chrono::milliseconds limit) : cancellable_(g_cancellable_new()) {
        watchdog_ = std::thread([this, limit] {
            std::unique_lock lock(mutex_);
            if (!done_.wait_for(lock, limit, [this] { return finished_; }))
                g_cancellable_cancel(cancellable_);
        });
    }
    ~Deadline() {
        {
            std::lock_guard lock(mutex_);
            finished_ = true;
        }
        done_.notify_one();
        watchdog_.join();
        g_object_unref(cancellable_);
    }
    Deadline(const Deadline&) = delete;
    Deadline& operator=(const Deadline&) = delete;
    GCancellable* get() const { return cancellable_; }

private:
    GCancellable* cancellable_;
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread watchdog_;
};

// Owns a GError and says what it was.
struct Failure {
    GError* error = nullptr;
    ~Failure() {
        if (error != nullptr)
            g_error_free(error);
    }
    std::string text() const { return error != nullptr ? error->message : "reason not known"; }
};

struct Attributes {
    GHashTable* table = g_hash_table_new_full(g_str_hash, g_str_equal, nullptr, g_free);
    ~Attributes() { g_hash_table_unref(table); }
    void put(const char* name, const std::string& value) {
        g_hash_table_insert(table, const_cast<char*>(name), g_strdup(value.c_str()));
    }
};

// The attributes of `key`; with `forLookUp` an empty user or domain is left out, to match any.
Attributes attributesOf(const LoginKey& key, bool forLookUp) {
    Attributes out;
    out.put("scheme", key.scheme);
    out.put("server", key.server);
    out.put("port", std::to_string(key.port));
    if (!forLookUp || !key.user.empty())
        out.put("user", key.user);
    if (!forLookUp || !key.domain.empty())
        out.put("domain", key.domain);
    return out;
}

std::string attribute(GHashTable* table, const char* name) {
    const auto* value = static_cast<const char*>(g_hash_table_lookup(table, name));
    return value != nullptr ? value : "";
}

} // namespace

struct Keyring::Service {
    SecretService* secrets = nullptr;
    ~Service() {
        if (secrets != nullptr)
            g_object_unref(secrets);
    }
};

Keyring::Keyring() : Keyring(Limits{}) {}

Keyring::Keyring(Limits limits) : limits_(limits) {}

Keyring::~Keyring() = default;

std::string Keyring::sessionBusAddress() {
    if (std::string address = platform::environmentValue("DBUS_SESSION_BUS_ADDRESS"); !address.empty())
        return address;
    // Where the session's service manager keeps the bus.
    const std::string runtime = platform::environmentValue("XDG_RUNTIME_DIR");
    if (!runtime.empty() && access((runtime + "/bus").c_str(), F_OK) == 0)
        return "unix:path=" + runtime + "/bus";
    return {};
}

Keyring::Service* Keyring::service() {
    if (tried_)
        return service_.get();
    tried_ = true;
    // Without a bus there is nothing to ask, and none is ever started for us.
    if (sessionBusAddress().empty())
        return nullptr;
    Deadline deadline(limits_.connect);
    Failure failure;
    auto opened = std::make_unique<Service>();
    opened->secrets = secret_service_open_sync(SECRET_TYPE_SERVICE, nullptr, SECRET_SERVICE_OPEN_SESSION,
                                               deadline.get(), &failure.error);
    if (opened->secrets == nullptr)
        return nullptr;
    // A session bus that goes away ends the keyring, not the program (and its run).
    g_dbus_connection_set_exit_on_close(g_dbus_proxy_get_connection(G_DBUS_PROXY(opened->secrets)), FALSE);
    service_ = std::move(opened);
    return service_.get();
}

bool Keyring::available() {
    return service() != nullptr;
}

std::optional<RememberedLogin> Keyring::lookUpPassword(const LoginKey& key) {
    Service* kept = service();
    if (kept == nullptr)
        return std::nullopt;
    Deadline deadline(limits_.call);
    Failure failure;
    Attributes attributes = attributesOf(key, true);
    GList* items = secret_service_search_sync(
        kept->secrets, passwordSchema(), attributes.table,
        static_cast<SecretSearchFlags>(SECRET_SEARCH_UNLOCK | SECRET_SEARCH_LOAD_SECRETS), deadline.get(),
        &failure.error);
    std::optional<RememberedLogin> found;
    for (GList* at = items; at != nullptr && !found; at = at->next) {
        auto* item = static_cast<SecretItem*>(at->data);
        SecretValue* value = secret_item_get_secret(item);
        if (value == nullptr)
            continue;
        gsize length = 0;
        const gchar* bytes = secret_value_get(value, &length);
        GHashTable* stored = secret_item_get_attributes(item);
        found = RememberedLogin{{attribute(stored, "scheme"), attribute(stored, "server"), key.port,
                                 attribute(stored, "user"), attribute(stored, "domain")},
                                std::string(bytes, length)};
        g_hash_table_unref(stored);
        secret_value_unref(value);
    }
    g_list_free_full(items, g_object_unref);
    return found;
}

std::string Keyring::rememberPassword(const LoginKey& key, const std::string& password,
                                      const std::string& label) {
    Service* kept = service();
    if (kept == nullptr)
        return "No keyring answers on this desktop";
    Deadline deadline(limits_.call);
    Failure failure;
    Attributes attributes = attributesOf(key, false);
    SecretValue* value =
        secret_value_new(password.data(), static_cast<gssize>(password.size()), "text/plain");
    const gboolean stored = secret_service_store_sync(kept->secrets, passwordSchema(), attributes.table,
                                                      SECRET_COLLECTION_DEFAULT, label.c_str(), value,
                                                      deadline.get(), &failure.error);
    secret_value_unref(value);
    return stored ? std::string() : "The keyring did not keep the password: " + failure.text();
}

void Keyring::forgetPassword(const LoginKey& key) {
    Service* kept = service();
    if (kept == nullptr)
        return;
    Deadline deadline(limits_.call);
    Failure failure;
    Attributes attributes = attributesOf(key, false);
    secret_service_clear_sync(kept->secrets, passwordSchema(), attributes.table, deadline.get(),
                              &failure.error);
}

} // namespace velmora::desktop
