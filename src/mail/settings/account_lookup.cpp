#include "mail/settings/account_lookup.h"

#include "mail/settings/system_mail_accounts.h"

namespace kavelune {

namespace {

bool hasOwnAccount(const MailSettings& settings) {
    return !settings.address.empty() && !settings.server.empty();
}

void useOwnAccount(MailForm& form, const MailSettings& settings) {
    MailAccount account;
    account.address = settings.address;
    account.server = settings.server;
    if (settings.authentication) account.userName = settings.login;
    form.accounts.push_back(account);
    form.sender = settings.address;
    form.server = settings.server;
    if (settings.authentication && !settings.login.empty()) {
        form.userName = settings.login;
        if (!settings.password.empty()) form.password = settings.password;
    }
}

}  // namespace

bool loadAccounts(MailForm& form, MailSettings& settings, const AccountLookup& lookup) {
    if (settings.address.empty() && settings.server.empty()) {
        readMailConfig(lookup.mailConfigFile, settings);
    }
    if (hasOwnAccount(settings)) {
        useOwnAccount(form, settings);
        return true;
    }

    form.accounts = systemMailAccounts(lookup.homeFolder, kMaxMailAccounts);
    if (!form.accounts.empty()) {
        const MailAccount& first = form.accounts.front();
        form.sender = first.address;
        form.server = first.server;
        form.userName = first.userName;
        return true;
    }

    if (lookup.webDefault.server.empty()) return false;
    form.sender = lookup.senderPrompt;
    form.server = lookup.webDefault.server;
    if (!lookup.webDefault.userName.empty()) {
        form.userName = lookup.webDefault.userName;
        if (!lookup.webDefault.password.empty()) form.password = lookup.webDefault.password;
    }
    form.accounts.push_back(MailAccount{form.userName, form.server, form.sender});
    return true;
}

}  // namespace kavelune
