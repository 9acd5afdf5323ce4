// The keyring against a Secret Service of the test's own: a private session bus and a keyring
// daemon over a throw-away home folder, never the desktop's. A machine without them skips.
#include "desktop/Keyring.h"

#include "QtTestRegistry.h"
#include "desktop/RemoteLogins.h"
#include "platform/FileSystem.h"
#include "remote/RoutingFileSystem.h"
#include "support/SmbServer.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace velmora::desktop {

namespace {

// A program the test started, ended when the test ends.
class Child {
public:
    // Starts `argv` with `extraEnvironment` on top of this process's own; `input` is written to
    // its standard input, which is then closed.
    bool start(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnvironment,
               const std::string& input = {}) {
        std::vector<std::string> entries = extraEnvironment;
        for (char** at = environ; *at != nullptr; ++at) {
            const std::string entry = *at;
            const std::string name = entry.substr(0, entry.find('='));
            bool replaced = name.rfind("DBUS_", 0) == 0; // never the desktop's bus
            for (const std::string& extra : extraEnvironment)
                replaced = replaced || extra.rfind(name + "=", 0) == 0;
            if (!replaced)
                entries.push_back(entry);
        }
        std::vector<char*> env;
        for (std::string& entry : entries)
            env.push_back(entry.data());
        env.push_back(nullptr);
        std::vector<std::string> args = argv;
        std::vector<char*> arguments;
        for (std::string& arg : args)
            arguments.push_back(arg.data());
        arguments.push_back(nullptr);
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0)
            return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], 0);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
        const int failed = posix_spawnp(&pid_, arguments[0], &actions, nullptr, arguments.data(), env.data());
        posix_spawn_file_actions_destroy(&actions);
        close(pipeEnds[0]);
        if (!input.empty() && failed == 0)
            (void)!write(pipeEnds[1], input.data(), input.size());
        close(pipeEnds[1]);
        if (failed != 0)
            pid_ = -1;
        return failed == 0;
    }
    bool running() { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }
    void signal(int number) const {
        if (pid_ > 0)
            kill(pid_, number);
    }
    ~Child() {
        if (pid_ <= 0)
            return;
        kill(pid_, SIGCONT);
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }

private:
    pid_t pid_ = -1;
};

// A session bus of our own that starts nothing by itself: only what the test starts is on it.
struct PrivateBus {
    QTemporaryDir folder;
    Child daemon;
    std::string address;
    QString whyNot;

    bool start() {
        const QString config = folder.filePath(QStringLiteral("bus.conf"));
        const QString socket = folder.filePath(QStringLiteral("bus"));
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly))
            return fail(QStringLiteral("cannot write the bus configuration"));
        file.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                   " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                   "<busconfig><type>session</type><listen>unix:path=" +
                   socket.toUtf8() +
                   "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                   "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                   "<allow own=\"*\"/></policy></busconfig>\n");
        file.close();
        if (!daemon.start({"dbus-daemon", "--nofork", "--nopidfile", "--config-file=" + config.toStdString()},
                          {}))
            return fail(QStringLiteral("dbus-daemon cannot be started (Debian: dbus-daemon)"));
        for (int waited = 0; waited < 100 && !QFile::exists(socket); ++waited)
            QTest::qWait(50);
        if (!QFile::exists(socket) || !daemon.running())
            return fail(QStringLiteral("dbus-daemon did not start"));
        address = "unix:path=" + socket.toStdString();
        return true;
    }
    bool fail(const QString& why) {
        whyNot = why;
        return false;
    }
};

// The keyring daemon on `bus`, its keyring unlocked with a throw-away password, its home in
// `bus.folder`.
bool startKeyring(PrivateBus& bus, Child& keyring, QString& whyNot) {
    const std::string home = bus.folder.filePath(QStringLiteral("home")).toStdString();
    const std::string runtime = bus.folder.filePath(QStringLiteral("run")).toStdString();
    QDir().mkpath(QString::fromStdString(home + "/.local/share"));
    QDir().mkpath(QString::fromStdString(runtime));
    QFile::setPermissions(QString::fromStdString(runtime),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!keyring.start({"gnome-keyring-daemon", "--foreground", "--unlock", "--components=secrets"},
                       {"HOME=" + home, "XDG_DATA_HOME=" + home + "/.local/share",
                        "XDG_RUNTIME_DIR=" + runtime, "DBUS_SESSION_BUS_ADDRESS=" + bus.address},
                       "throw-away")) {
        whyNot = QStringLiteral("gnome-keyring-daemon cannot be started (Debian: gnome-keyring)");
        return false;
    }
    for (int waited = 0; waited < 100; ++waited) {
        if (Keyring().available())
            return true;
        if (!keyring.running())
            break;
        QTest::qWait(100);
    }
    whyNot = QStringLiteral("gnome-keyring-daemon did not offer its secrets on the test's bus");
    return false;
}

// Answers the password dialog that opens next as a user would (nothing typed: Cancel), and
// counts the dialogs that opened; no longer once `scope` is gone.
void answerNextLogin(QObject& scope, int& shown, const QString& user, const QString& password,
                     bool remember) {
    QTimer::singleShot(0, &scope, [&shown, user, password, remember] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr || dialog->objectName() != QStringLiteral("passwordDialog"))
            return;
        ++shown;
        if (password.isEmpty()) {
            dialog->findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
            return;
        }
        // A user name the dialog shows already (the one of a refused login) is kept as it is.
        auto* userBox = dialog->findChild<QLineEdit*>(QStringLiteral("userBox"));
        if (userBox->text().isEmpty())
            QTest::keyClicks(userBox, user);
        QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("passwordBox")), password);
        if (remember)
            dialog->findChild<QCheckBox*>(QStringLiteral("rememberBox"))->click();
        dialog->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
    });
}

const Keyring::Limits kShort{std::chrono::milliseconds(500), std::chrono::milliseconds(500)};

} // namespace

// The cases run in this order on one bus: the program reaches the session bus once.
class KeyringTest : public QObject {
    Q_OBJECT

    QByteArray savedBus_;
    QByteArray savedRuntime_;
    std::unique_ptr<PrivateBus> bus_;
    std::unique_ptr<Child> daemon_;
    QString whyNot_;
    // Whether the program's bus is the test's own: nothing is kept until a bus without a keyring
    // was seen to answer "none", so that no test ever writes into the desktop's real keyring.
    bool busIsOurs_ = false;

    // The test's own bus and keyring, started once; false (and whyNot_) when they cannot be.
    bool keyringStarted() {
        if (!busIsOurs_) {
            whyNot_ = QStringLiteral("the test's own bus was not the one reached");
            return false;
        }
        if (daemon_ || !whyNot_.isEmpty())
            return daemon_ != nullptr;
        auto daemon = std::make_unique<Child>();
        if (!startKeyring(*bus_, *daemon, whyNot_))
            return false;
        daemon_ = std::move(daemon);
        return true;
    }

private Q_SLOTS:
    void initTestCase() {
        savedBus_ = qgetenv("DBUS_SESSION_BUS_ADDRESS");
        savedRuntime_ = qgetenv("XDG_RUNTIME_DIR");
    }
    void cleanupTestCase() {
        daemon_.reset();
        bus_.reset();
        qputenv("DBUS_SESSION_BUS_ADDRESS", savedBus_);
        qputenv("XDG_RUNTIME_DIR", savedRuntime_);
    }

    // No bus, or one that nothing listens on: nothing is found or kept, and at once.
    void noBusAnswersAtOnce() {
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        qunsetenv("XDG_RUNTIME_DIR");
        QCOMPARE(Keyring::sessionBusAddress(), std::string());
        QVERIFY(!Keyring().available());

        QTemporaryDir folder;
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + folder.filePath(QStringLiteral("none")).toUtf8());
        QElapsedTimer clock;
        clock.start();
        Keyring keyring;
        const LoginKey ann{"sftp", "backup", 22, "ann", ""};
        QVERIFY(!keyring.available());
        QVERIFY(!keyring.lookUpPassword(ann));
        QVERIFY(!keyring.rememberPassword(ann, "pw", "label").empty());
        keyring.forgetPassword(ann);
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    }

    // A bus with nothing on it that keeps secrets answers at once too.
    void aBusWithoutAKeyringAnswersAtOnce() {
        bus_ = std::make_unique<PrivateBus>();
        if (!bus_->start())
            VELMORA_QSKIP(bus_->whyNot);
        qputenv("DBUS_SESSION_BUS_ADDRESS", QByteArray::fromStdString(bus_->address));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!Keyring().available());
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        busIsOurs_ = true;
    }

    // Kept, found (by user, or for any user as a share looks), told apart by user and port,
    // replaced, forgotten.
    void keepsFindsAndForgetsPasswords() {
        if (!bus_ || !bus_->whyNot.isEmpty())
            VELMORA_QSKIP(bus_ ? bus_->whyNot : QStringLiteral("no private bus"));
        if (!keyringStarted())
            VELMORA_QSKIP(whyNot_);
        Keyring keyring;
        const LoginKey ann{"smb", "nas", 445, "ann", "WORK"};
        const LoginKey bob{"smb", "nas", 445, "bob", ""};
        QCOMPARE(keyring.rememberPassword(ann, "first", "Velmora: WORK\\ann@nas (SMB)"), std::string());
        QCOMPARE(keyring.rememberPassword(ann, "ann's", "Velmora: WORK\\ann@nas (SMB)"), std::string());
        QCOMPARE(keyring.rememberPassword(bob, "bob's", "Velmora: bob@nas (SMB)"), std::string());

        std::optional<RememberedLogin> found = keyring.lookUpPassword(ann);
        QVERIFY(found);
        QCOMPARE(found->password, std::string("ann's")); // the second replaced the first
        found = keyring.lookUpPassword({"smb", "nas", 445, "bob", ""});
        QVERIFY(found);
        QCOMPARE(found->password, std::string("bob's"));
        found = keyring.lookUpPassword({"smb", "nas", 445, "", ""});
        QVERIFY(found);
        QVERIFY(found->key.user == "ann" || found->key.user == "bob");
        QCOMPARE(found->key.server, std::string("nas"));
        QVERIFY(!keyring.lookUpPassword({"sftp", "nas", 445, "ann", ""}));
        QVERIFY(!keyring.lookUpPassword({"smb", "nas", 4450, "ann", ""}));

        keyring.forgetPassword(ann);
        QVERIFY(!keyring.lookUpPassword(ann));
        // What one window kept, the next finds.
        QVERIFY(Keyring().lookUpPassword(bob));
    }

    // A share's login through the window: asked and remembered the first time, taken from the
    // keyring the next, and a remembered password the share refuses is forgotten and asked again.
    void aShareLoginIsRememberedTriedFirstAndForgottenWhenRefused() {
        if (!bus_ || !bus_->whyNot.isEmpty())
            VELMORA_QSKIP(bus_ ? bus_->whyNot : QStringLiteral("no private bus"));
        if (!keyringStarted())
            VELMORA_QSKIP(whyNot_);
        test::SmbServer server;
        if (!server.start())
            VELMORA_QSKIP(QString::fromStdString(server.whyNot()));
        // The share's private client configuration lives in this HOME, put back however the test ends.
        struct HomeFor {
            QByteArray saved = qgetenv("HOME");
            explicit HomeFor(const std::string& home) { qputenv("HOME", QByteArray::fromStdString(home)); }
            ~HomeFor() { qputenv("HOME", saved); }
        } home(server.clientHome());
        const std::string share = server.shareUrl() + "/";
        const LoginKey root{"smb", "127.0.0.1", server.port(), "root", ""};
        struct Case {
            const char* what;
            std::optional<std::string> kept; // in the keyring before
            QString typed;                   // the password typed, if the dialog opens
            bool remember;
            int dialogs;
            std::optional<std::string> keptAfter;
        };
        const Case cases[] = {
            {"asked and remembered", std::nullopt, QStringLiteral("velmora-test-1"), true, 1,
             "velmora-test-1"},
            {"taken from the keyring", "velmora-test-1", {}, false, 0, "velmora-test-1"},
            {"a refused one forgotten and asked", "old-one", QStringLiteral("velmora-test-1"), false, 1,
             std::nullopt},
        };
        for (const Case& c : cases) {
            Keyring keyring;
            keyring.forgetPassword(root);
            if (c.kept)
                QCOMPARE(keyring.rememberPassword(root, *c.kept, rememberedLabel(root)), std::string());
            remote::RoutingFileSystem fileSystem(platform::realFileSystem());
            auto open = remoteLocationOpener(fileSystem, nullptr);
            int shown = 0;
            QObject scope;
            answerNextLogin(scope, shown, QStringLiteral("root"), c.typed, c.remember);
            const std::string error = open(share);
            QVERIFY2(error.empty(), (std::string(c.what) + ": " + error).c_str());
            QCOMPARE(shown, c.dialogs);
            std::optional<RememberedLogin> after = Keyring().lookUpPassword(root);
            QVERIFY2(after.has_value() == c.keptAfter.has_value(), c.what);
            if (after)
                QCOMPARE(after->password, *c.keptAfter);
        }
    }

    // A keyring that stops answering after it was reached gives the window back after the limit.
    void aStalledKeyringIsGivenUpAfterTheLimit() {
        if (!bus_ || !bus_->whyNot.isEmpty())
            VELMORA_QSKIP(bus_ ? bus_->whyNot : QStringLiteral("no private bus"));
        if (!keyringStarted())
            VELMORA_QSKIP(whyNot_);
        Keyring keyring(kShort);
        QVERIFY(keyring.available());
        daemon_->signal(SIGSTOP);
        QElapsedTimer clock;
        clock.start();
        const bool found = keyring.lookUpPassword({"sftp", "backup", 22, "ann", ""}).has_value();
        const std::string refused =
            keyring.rememberPassword({"sftp", "backup", 22, "ann", ""}, "pw", "label");
        const qint64 took = clock.elapsed();
        daemon_->signal(SIGCONT);
        QVERIFY(!found);
        QVERIFY(!refused.empty());
        QVERIFY2(took < 3000, qPrintable(QString::number(took)));
    }
};

VELMORA_QT_TEST(KeyringTest)

} // namespace velmora::desktop

#include "KeyringTest.moc"
