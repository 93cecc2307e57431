// kvl mail send|settings: the invitation mail of a program folder without a window. `send` mails
// the invitation the Send Mail dialog would send for the state saved there; `settings` reads and
// writes mail.cfg as the Mail Preference dialog does.
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "app/launch/launch_settings.h"
#include "app/mail/mail_dialog_text.h"
#include "app/mail/mail_environment.h"
#include "app/web/web_links.h"
#include "arguments.h"
#include "base/atomic_file.h"
#include "command.h"
#include "json_output.h"
#include "mail/settings/mail_dialog_rules.h"
#include "platform/http/http_fetch.h"
#include "platform/posix/tcp_mail_connector.h"
#include "platform/posix/user_folders.h"
#include "sent_page_recorder.h"

namespace kvl {

namespace {

namespace fs = std::filesystem;
using namespace kavelune;

constexpr const char* kSendUsage =
    "send --home DIR --to RECIPIENTS --subject TEXT (--message TEXT | --message-file FILE) [--server HOST[:PORT]] "
    "[--sender ADDR] [--login NAME] [--password PASS] [--language en|ko|ja] [--edition le|trova] "
    "[--timeout SECONDS] [--page-out FILE]";
constexpr const char* kSettingsUsage =
    "settings --home DIR --json | settings --home DIR --write --address A --server S [--auth 0|1] "
    "[--remember 0|1] [--login L] [--password P] [--language en|ko|ja]";

std::optional<int> languageIdOf(const std::string& name) {
    if (name == "en") return kLanguageIdEnglish;
    if (name == "ko") return kLanguageIdKorean;
    if (name == "ja") return kLanguageIdJapanese;
    return std::nullopt;
}

std::optional<bool> switchOf(const std::string& value) {
    if (value == "0") return false;
    if (value == "1") return true;
    return std::nullopt;
}

bool readText(const fs::path& file, std::string& text) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    text = bytes.str();
    return !in.bad();
}

// The common options: the program folder and the interface language.
struct Common {
    fs::path home;
    int languageId = kLanguageIdEnglish;
};

int readCommon(const char* name, const Arguments& arguments, Common& common) {
    const auto home = arguments.value("home");
    if (!home) return fail(name, "needs --home DIR", kExitUsage);
    common.home = *home;
    std::error_code error;
    if (!fs::is_directory(common.home, error)) return fail(name, "no such program folder: " + *home);
    if (const auto language = arguments.value("language")) {
        const auto id = languageIdOf(*language);
        if (!id) return fail(name, "--language is en, ko or ja", kExitUsage);
        common.languageId = *id;
    }
    return kExitOk;
}

WebAccess fetchOnlyAccess() {
    return {[](const std::string& url) { return http::fetchText(url); }, [](std::string) {}};
}

// The box texts of the form, each held to what its box takes in the dialog.
int takeFormTexts(const Arguments& arguments, MailForm& form) {
    struct Box {
        const char* option;
        std::string* into;
        std::size_t limit;
    };
    std::string message;
    if (const auto file = arguments.value("message-file")) {
        if (arguments.value("message")) return fail("mail send", "give --message or --message-file, not both", kExitUsage);
        if (!readText(*file, message)) return fail("mail send", "cannot read " + *file);
    } else if (const auto text = arguments.value("message")) {
        message = *text;
    }
    const auto recipients = arguments.value("to");
    const auto subject = arguments.value("subject");
    if (!recipients || !subject || (!arguments.value("message") && !arguments.value("message-file"))) {
        return fail("mail send", std::string("usage: kvl mail ") + kSendUsage, kExitUsage);
    }
    form.recipients = *recipients;
    form.subject = *subject;
    form.message = message;
    if (const auto sender = arguments.value("sender")) form.sender = *sender;
    for (const Box& box : {Box{"to", &form.recipients, kRecipientsLimit}, Box{"subject", &form.subject, kSubjectLimit},
                           Box{"message", &form.message, kMessageLimit}, Box{"sender", &form.sender, kSenderLimit}}) {
        if (box.into->size() > box.limit) {
            return fail("mail send", std::string("--") + box.option + " is longer than the dialog takes (" +
                                         std::to_string(box.limit) + " bytes)", kExitUsage);
        }
    }
    return kExitOk;
}

// What the command line names outright wins over the account lookup; accounts with the sender's
// address take it too, so choosing the account for the sender keeps it.
void applyExplicitAccount(const Arguments& arguments, MailForm& form) {
    const auto server = arguments.value("server");
    const auto login = arguments.value("login");
    if (server) form.server = *server;
    if (login) form.userName = *login;
    if (const auto password = arguments.value("password")) form.password = *password;
    for (MailAccount& account : form.accounts) {
        if (account.address != form.sender) continue;
        if (server) account.server = *server;
        if (login) account.userName = *login;
    }
}

int runSend(const std::vector<std::string>& args) {
    Arguments arguments(args,
                        {"home", "to", "subject", "message", "message-file", "server", "sender", "login", "password",
                         "language", "edition", "timeout", "page-out"},
                        {});
    if (!arguments.ok()) return fail("mail send", arguments.error(), kExitUsage);
    Common common;
    if (int status = readCommon("mail send", arguments, common); status != kExitOk) return status;

    MailEnvironment environment;
    environment.programFolder = common.home;
    environment.stateFolder = common.home;
    if (const char* home = std::getenv("HOME"); home && *home) environment.userHome = home;
    environment.temporaryFolder = posix::userTemporaryFolder();
    environment.language = menuLanguageFor(common.languageId);
    const std::string edition = arguments.value("edition").value_or("le");
    if (edition != "le" && edition != "trova") return fail("mail send", "--edition is le or trova", kExitUsage);
    environment.installerFileName = edition == "trova" ? kInstallerDataTrova : kInstallerDataLE;
    if (const auto timeout = arguments.value("timeout")) {
        char* end = nullptr;
        const long seconds = std::strtol(timeout->c_str(), &end, 10);
        if (end == timeout->c_str() || *end != '\0' || seconds < 1 || seconds > 3600) {
            return fail("mail send", "--timeout is a number of seconds from 1 to 3600", kExitUsage);
        }
        environment.serverTimeout = std::chrono::seconds(seconds);
    }
    WebLinks web(configuredWebService(), common.languageId, fetchOnlyAccess());
    environment.siteAddress = web.siteAddress();

    // Every mistake in the command line is told before anything is looked up or sent.
    MailForm typed;
    if (int status = takeFormTexts(arguments, typed); status != kExitOk) return status;

    LaunchSettings settings = LaunchSettings::choose(common.home);
    if (!settings.valid) return fail("mail send", "no launch file in " + common.home.string());
    settings.danceFiles = danceFilesOf(common.home, settings.dance);

    // The accounts as the dialog finds them when it opens; the web service's default account is
    // fetched only when nothing nearer gives one and the command line names no server.
    MailSettings mailSettings;
    MailForm form;
    form.reset();
    bool found = loadAccounts(form, mailSettings, accountLookupFor(environment));
    if (!found && !arguments.value("server")) {
        web.startFetch();
        web.waitForFetch();
        environment.webDefault = {web.mailText(1), web.mailText(2), web.mailText(3)};
        form.reset();
        found = loadAccounts(form, mailSettings, accountLookupFor(environment));
    }
    if (!found && !arguments.value("server")) {
        std::cout << mailText(environment.language, mail_text::kNoMailAccount) << "\n";
        return kExitFailed;
    }
    form.recipients = typed.recipients;
    form.subject = typed.subject;
    form.message = typed.message;
    if (arguments.value("sender")) form.sender = typed.sender;
    applyExplicitAccount(arguments, form);

    const SendFormCheck check = checkSendForm(form);
    if (check != SendFormCheck::Ready) {
        std::cout << sendFormMessage(check, environment.language) << "\n";
        return kExitFailed;
    }

    posix::TcpMailConnector connector;
    SentPageRecorder recorder(connector);
    const InvitationResult result =
        SendInvitation(form, invitationContentOf(settings), invitationSetupFor(environment), recorder);
    for (const std::string& file : result.leftOut) {
        std::cerr << "kvl mail send: left out " << file << " (it cannot be read)\n";
    }
    if (const auto pageOut = arguments.value("page-out")) {
        std::string page;
        if (recorder.sentPage(page) && !writeFileAtomically(*pageOut, page)) {
            std::cerr << "kvl mail send: cannot write " << *pageOut << "\n";
        }
    }
    std::cout << result.text << "\n";
    return result.sent ? kExitOk : kExitFailed;
}

int printSettings(const Common& common) {
    const fs::path file = fs::absolute(common.home / kMailConfigFileName);
    MailSettings settings;
    const bool found = readMailConfig(file, settings);
    nlohmann::ordered_json json{
        {"file", file.string()},
        {"found", found},
        {"address", settings.address},
        {"server", settings.server},
        {"authentication", settings.authentication},
        {"remember", settings.remember},
        {"login", settings.login},
        {"password", settings.password},
    };
    std::cout << jsonText(json) << "\n";
    return kExitOk;
}

int writeSettings(const Common& common, const Arguments& arguments) {
    const auto address = arguments.value("address");
    const auto server = arguments.value("server");
    if (!address || !server) return fail("mail settings", std::string("usage: kvl mail ") + kSettingsUsage, kExitUsage);
    const fs::path file = fs::absolute(common.home / kMailConfigFileName);

    // As the dialog: it opens on what mail.cfg holds, the boxes are changed, then OK.
    MailSettings settings;
    readMailConfig(file, settings);
    PreferenceBoxes boxes = preferenceBoxesFor(settings);
    boxes.address = *address;
    boxes.server = *server;
    for (const auto& [option, into] : {std::pair{"auth", &boxes.authentication}, std::pair{"remember", &boxes.remember}}) {
        if (const auto value = arguments.value(option)) {
            const auto on = switchOf(*value);
            if (!on) return fail("mail settings", std::string("--") + option + " is 0 or 1", kExitUsage);
            *into = *on;
        }
    }
    if (const auto login = arguments.value("login")) boxes.login = *login;
    if (const auto password = arguments.value("password")) boxes.password = *password;

    switch (confirmPreferences(settings, boxes, file)) {
        case PreferenceOutcome::InvalidAddress:
            std::cout << mailText(menuLanguageFor(common.languageId), mail_text::kEnterAddress) << "\n";
            return kExitFailed;
        case PreferenceOutcome::WriteFailed:
            return fail("mail settings", "cannot write " + file.string());
        case PreferenceOutcome::Saved:
            break;
    }
    std::cout << file.string() << "\n";
    return kExitOk;
}

int runSettings(const std::vector<std::string>& args) {
    Arguments arguments(args, {"home", "address", "server", "auth", "remember", "login", "password", "language"},
                        {"json", "write"});
    if (!arguments.ok()) return fail("mail settings", arguments.error(), kExitUsage);
    if (arguments.flag("json") == arguments.flag("write")) {
        return fail("mail settings", std::string("usage: kvl mail ") + kSettingsUsage, kExitUsage);
    }
    Common common;
    if (int status = readCommon("mail settings", arguments, common); status != kExitOk) return status;
    return arguments.flag("json") ? printSettings(common) : writeSettings(common, arguments);
}

int runMail(const std::vector<std::string>& args) {
    if (args.empty()) return fail("mail", "usage: kvl mail send|settings ...", kExitUsage);
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "send") return runSend(rest);
    if (args[0] == "settings") return runSettings(rest);
    return fail("mail", "unknown mail command '" + args[0] + "'", kExitUsage);
}

Command registration("mail",
                     "send --home DIR --to RECIPIENTS --subject TEXT --message TEXT [...] | "
                     "settings --home DIR --json|--write [...]",
                     runMail);

}  // namespace

}  // namespace kvl
