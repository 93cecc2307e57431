#include "platform/qt/user_settings.h"

#include <QVariant>

#include <system_error>

namespace kavelune::qt {

namespace {

QString keyOf(const char* key) { return QString::fromLatin1(key); }

}  // namespace

UserSettings::UserSettings(const std::filesystem::path& file)
    : file_(file),
      settings_(std::make_unique<QSettings>(QString::fromStdString(file.string()), QSettings::IniFormat)) {}

UserSettings::~UserSettings() = default;

bool UserSettings::get(const SettingKey<bool>& setting) const {
    const QVariant value = settings_->value(keyOf(setting.key));
    if (!value.isValid()) {
        return setting.fallback;
    }
    // Hand-edited files say it in more than one way; anything else keeps the fallback.
    const QString text = value.toString().trimmed().toLower();
    if (text == u"true" || text == u"1" || text == u"yes" || text == u"on") {
        return true;
    }
    if (text == u"false" || text == u"0" || text == u"no" || text == u"off") {
        return false;
    }
    return setting.fallback;
}

int UserSettings::get(const SettingKey<int>& setting) const {
    const QVariant value = settings_->value(keyOf(setting.key));
    bool ok = false;
    const int number = value.toString().trimmed().toInt(&ok);
    return ok ? number : setting.fallback;
}

void UserSettings::set(const SettingKey<bool>& setting, bool value) {
    settings_->setValue(keyOf(setting.key), value);
}

void UserSettings::set(const SettingKey<int>& setting, int value) {
    settings_->setValue(keyOf(setting.key), value);
}

bool UserSettings::save() {
    // QSettings does not make a missing folder for a file it is given by path.
    std::error_code error;
    if (file_.has_parent_path()) {
        std::filesystem::create_directories(file_.parent_path(), error);
    }
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

}  // namespace kavelune::qt
