// When a remembered password is tried, forgotten and kept: a server that takes one password, a
// keyring held in memory and a user who answers from a script.
#include "app/RememberedLogins.h"

#include <gtest/gtest.h>
#include <map>
#include <tuple>
#include <vector>

namespace velmora {
namespace {

struct FakeVault final : PasswordVault {
    bool answers = true;
    // Kept passwords by (user, domain) on the one server the tests log in to.
    std::map<std::pair<std::string, std::string>, std::string> kept;
    std::vector<std::string> labels;

    bool available() override { return answers; }
    std::optional<RememberedLogin> lookUpPassword(const LoginKey& key) override {
        for (const auto& [who, password] : kept) {
            if ((key.user.empty() || key.user == who.first) &&
                (key.domain.empty() || key.domain == who.second)) {
                LoginKey found = key;
                std::tie(found.user, found.domain) = who;
                return RememberedLogin{found, password};
            }
        }
        return std::nullopt;
    }
    std::string rememberPassword(const LoginKey& key, const std::string& password,
                                 const std::string& label) override {
        if (!answers)
            return "no keyring";
        kept[{key.user, key.domain}] = password;
        labels.push_back(label);
        return {};
    }
    void forgetPassword(const LoginKey& key) override { kept.erase({key.user, key.domain}); }
};

struct Typed {
    std::string user;
    std::string password;
    bool remember;
};

struct Case {
    const char* what;
    std::string scheme;
    std::string addressUser;                                         // the user the location names
    std::map<std::pair<std::string, std::string>, std::string> kept; // before
    bool keyringAnswers;
    std::vector<std::optional<Typed>> typed; // the dialog's answers in turn; nothing: Cancel
    // After: the dialogs shown, whether the login got in, and the keyring's passwords.
    std::size_t dialogs;
    bool loggedIn;
    std::map<std::pair<std::string, std::string>, std::string> keptAfter;
};

TEST(LoginMemoryTest, TriesForgetsAndKeepsPasswordsAsTheServerAnswers) {
    const std::vector<Case> cases = {
        {"a remembered password that works: no dialog",
         "sftp",
         "ann",
         {{{"ann", ""}, "right"}},
         true,
         {},
         0,
         true,
         {{{"ann", ""}, "right"}}},
        {"a refused one is forgotten and the dialog asked",
         "sftp",
         "ann",
         {{{"ann", ""}, "old"}},
         true,
         {Typed{"", "right", false}},
         1,
         true,
         {}},
        {"the new one is kept when Remember is ticked",
         "sftp",
         "ann",
         {{{"ann", ""}, "old"}},
         true,
         {Typed{"", "right", true}},
         1,
         true,
         {{{"ann", ""}, "right"}}},
        {"a refused answer is never kept",
         "sftp",
         "ann",
         {},
         true,
         {Typed{"", "wrong", true}, Typed{"", "right", false}},
         2,
         true,
         {}},
        {"another user's password is not tried",
         "sftp",
         "bob",
         {{{"ann", ""}, "right"}},
         true,
         {Typed{"", "right", false}},
         1,
         true,
         {{{"ann", ""}, "right"}}},
        {"no keyring: Remember cannot keep anything",
         "sftp",
         "ann",
         {},
         false,
         {Typed{"", "right", true}},
         1,
         true,
         {}},
        {"Cancel gives up and keeps nothing", "sftp", "ann", {}, true, {std::nullopt}, 1, false, {}},
        {"a share finds any user's password and its domain",
         "smb",
         "",
         {{{"ann", "WORK"}, "right"}},
         true,
         {},
         0,
         true,
         {{{"ann", "WORK"}, "right"}}},
        {"a share's user as typed is the one kept",
         "smb",
         "",
         {{{"ann", "WORK"}, "old"}},
         true,
         {Typed{"HOME\\bob", "right", true}},
         1,
         true,
         {{{"bob", "HOME"}, "right"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeVault vault;
        vault.answers = c.keyringAnswers;
        vault.kept = c.kept;
        LoginMemory memory(&vault, LoginKey{c.scheme, "backup", 22, c.addressUser, ""});
        std::size_t dialogs = 0;
        bool loggedIn = false;
        for (int attempt = 0; attempt < 3 && !loggedIn; ++attempt) {
            std::optional<RememberedLogin> given =
                memory.next([&](const LoginKey&, bool canRemember) -> std::optional<LoginAnswer> {
                    EXPECT_EQ(canRemember, c.keyringAnswers);
                    const std::optional<Typed>& answer = c.typed.at(dialogs++);
                    if (!answer)
                        return std::nullopt;
                    return LoginAnswer{answer->user, answer->password, answer->remember};
                });
            if (!given)
                break;
            loggedIn = given->password == "right";
            memory.answered(loggedIn);
        }
        EXPECT_EQ(dialogs, c.dialogs);
        EXPECT_EQ(loggedIn, c.loggedIn);
        EXPECT_EQ(vault.kept, c.keptAfter);
        EXPECT_EQ(memory.rememberError(), "");
    }
}

TEST(LoginMemoryTest, TheDialogShowsTheUserOfARefusedShareLoginAndALaterVerdictChangesNothing) {
    FakeVault vault;
    vault.kept[{"ann", "WORK"}] = "old";
    LoginMemory memory(&vault, LoginKey{"smb", "nas", 445, "", ""});
    ASSERT_TRUE(memory.next([](const LoginKey&, bool) { return std::optional<LoginAnswer>(); }));
    memory.answered(false);
    LoginKey shown;
    const std::optional<RememberedLogin> typed = memory.next([&](const LoginKey& key, bool) {
        shown = key;
        return std::optional<LoginAnswer>(LoginAnswer{"WORK\\ann", "new", true});
    });
    EXPECT_EQ(shown.user + "/" + shown.domain, "ann/WORK");
    ASSERT_TRUE(typed);
    memory.answered(true);
    EXPECT_EQ(vault.labels, std::vector<std::string>{"Velmora: WORK\\ann@nas (SMB)"});
    // More sessions opened with the same password report again: nothing more is kept or forgotten.
    memory.answered(false);
    EXPECT_EQ(vault.kept.at({"ann", "WORK"}), "new");
}

TEST(LoginMemoryTest, WithoutAKeyringEveryPasswordIsAsked) {
    LoginMemory memory(nullptr, LoginKey{"sftp", "backup", 22, "ann", ""});
    bool offered = true;
    ASSERT_TRUE(memory.next([&](const LoginKey&, bool canRemember) {
        offered = canRemember;
        return std::optional<LoginAnswer>(LoginAnswer{"", "pw", true});
    }));
    memory.answered(true);
    EXPECT_FALSE(offered);
}

TEST(RememberedLabelTest, NamesTheLoginAsTheUserKnowsIt) {
    const std::vector<std::pair<LoginKey, std::string>> cases = {
        {{"sftp", "backup", 22, "ann", ""}, "Velmora: ann@backup (SFTP)"},
        {{"smb", "nas", 445, "ann", "WORK"}, "Velmora: WORK\\ann@nas (SMB)"},
        {{"smb", "nas", 445, "", ""}, "Velmora: nas (SMB)"},
    };
    for (const auto& [key, label] : cases)
        EXPECT_EQ(rememberedLabel(key), label);
}

TEST(RememberedLabelTest, SplitsDomainAndUser) {
    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {"ann", "ann", ""}, {"WORK\\ann", "ann", "WORK"}, {"\\ann", "ann", ""}, {"", "", ""}};
    for (const auto& [typed, user, domain] : cases) {
        std::string gotUser = "x";
        std::string gotDomain = "x";
        splitDomainUser(typed, gotUser, gotDomain);
        EXPECT_EQ(gotUser + "|" + gotDomain, user + "|" + domain) << typed;
    }
}

} // namespace
} // namespace velmora
