#include "app/menu/sprite_menu_model.h"

#include "app/launch/launch_settings.h"

namespace kavelune {

namespace {

namespace command = window_command;

// Splits a table text at its tab into the shown text and the key hint.
MenuEntry textEntry(MenuEntry::Kind kind, std::string_view tableText) {
    MenuEntry entry;
    entry.kind = kind;
    std::size_t tab = tableText.find('\t');
    entry.text = std::string(tableText.substr(0, tab));
    if (tab != std::string_view::npos) entry.keyHint = std::string(tableText.substr(tab + 1));
    return entry;
}

MenuEntry item(int id, std::string_view tableText) {
    MenuEntry entry = textEntry(MenuEntry::Kind::Item, tableText);
    entry.id = id;
    return entry;
}

MenuEntry checkItem(int id, std::string_view tableText, bool checked) {
    MenuEntry entry = item(id, tableText);
    entry.checkable = true;
    entry.checked = checked;
    return entry;
}

MenuEntry separator() {
    MenuEntry entry;
    entry.kind = MenuEntry::Kind::Separator;
    return entry;
}

// The menu entry of a content node whose ids are assigned; nothing for a node left out.
std::optional<MenuEntry> contentEntry(const ContentFolder& node) {
    if (!node.shown) return std::nullopt;
    MenuEntry entry;
    entry.text = node.label;
    entry.greyed = node.greyed;
    if (node.isItem) {
        entry.kind = MenuEntry::Kind::Item;
        entry.id = node.id;
        return entry;
    }
    entry.kind = MenuEntry::Kind::Submenu;
    for (const auto& child : node.children) {
        if (auto childEntry = contentEntry(*child)) entry.children.push_back(std::move(*childEntry));
    }
    return entry;
}

const MenuEntry* findIn(const std::vector<MenuEntry>& entries, int id) {
    for (const MenuEntry& entry : entries) {
        if (entry.kind == MenuEntry::Kind::Item && entry.id == id) return &entry;
        if (const MenuEntry* found = findIn(entry.children, id)) return found;
    }
    return nullptr;
}

MenuEntry* findIn(std::vector<MenuEntry>& entries, int id) {
    return const_cast<MenuEntry*>(findIn(static_cast<const std::vector<MenuEntry>&>(entries), id));
}

constexpr std::array<const ContentRootSpec*, 4> kRoots{&kCharacterRoot, &kSequenceRoot, &kSoundRoot, &kInfoRoot};
constexpr std::array<int, 4> kRootTitles{MenuText::kCharacterMenu, MenuText::kDanceMenu, MenuText::kSoundMenu,
                                         MenuText::kPlayListMenu};

}  // namespace

SpriteMenuModel SpriteMenuModel::build(const std::filesystem::path& programFolder, MenuLanguage language,
                                       const LaunchSettings& settings, const EditionTraits& edition) {
    SpriteMenuModel menu;
    SpriteMenuIds& ids = menu.ids_;
    const EditionMenuText table(edition);
    auto text = [language, &table](int row) { return table.text(language, row); };

    menu.entries_.push_back(item(SpriteMenuIds::kWebSite, text(MenuText::kWebSite)));
    menu.entries_.push_back(separator());

    std::array<int*, 4> starts{&ids.characterStart, &ids.danceStart, &ids.soundStart, &ids.playListStart};
    int nextId = SpriteMenuIds::kFirstContent;
    for (std::size_t i = 0; i < kRoots.size(); ++i) {
        *starts[i] = nextId;
        menu.roots_[i] = scanContentRoot(programFolder, *kRoots[i], std::string(text(kRootTitles[i])));
        assignMenuIds(*menu.roots_[i], *kRoots[i], nextId);
        if (auto entry = contentEntry(*menu.roots_[i])) menu.entries_.push_back(std::move(*entry));
    }
    menu.entries_.push_back(separator());

    ids.sizeStart = nextId;
    MenuEntry size = textEntry(MenuEntry::Kind::Submenu, text(MenuText::kSizeMenu));
    for (int row : {MenuText::kSmall, MenuText::kMedium, MenuText::kLarge}) {
        size.children.push_back(item(nextId++, text(row)));
    }
    menu.entries_.push_back(std::move(size));

    ids.loop = nextId++;
    ids.shadow = nextId++;
    if (edition.alwaysOnTop) ids.topWindow = nextId++;
    ids.refresh = nextId++;
    ids.sendMail = nextId++;
    ids.mailPreference = nextId++;
    ids.exit = nextId++;
    ids.startWithDesktop = nextId++;
    ids.addToMyCharacters = nextId++;
    menu.entries_.push_back(checkItem(ids.loop, text(MenuText::kLoop), settings.loop));
    menu.entries_.push_back(checkItem(ids.shadow, text(MenuText::kShadow), settings.shadow));
    if (edition.alwaysOnTop) {
        menu.entries_.push_back(checkItem(ids.topWindow, text(MenuText::kAlwaysOnTop), settings.topwindow));
    }
    menu.entries_.push_back(separator());
    menu.entries_.push_back(item(ids.refresh, text(MenuText::kRefresh)));
    menu.entries_.push_back(separator());
    menu.entries_.push_back(item(ids.sendMail, text(MenuText::kSendMail)));
    menu.entries_.push_back(item(ids.mailPreference, text(MenuText::kMailPreference)));
    menu.entries_.push_back(separator());
    menu.entries_.push_back(
        checkItem(ids.startWithDesktop, desktopItemText(language, DesktopItem::StartWithDesktop), false));
    MenuEntry addCharacter = item(ids.addToMyCharacters, desktopItemText(language, DesktopItem::AddToMyCharacters));
    addCharacter.greyed = true;
    menu.entries_.push_back(std::move(addCharacter));
    menu.entries_.push_back(separator());
    menu.entries_.push_back(item(ids.exit, text(MenuText::kExit)));
    return menu;
}

void SpriteMenuModel::updateChecks(const LaunchSettings& settings, const DesktopItemState& desktop) {
    if (MenuEntry* loop = findIn(entries_, ids_.loop)) loop->checked = settings.loop;
    if (MenuEntry* shadow = findIn(entries_, ids_.shadow)) shadow->checked = settings.shadow;
    if (MenuEntry* top = findIn(entries_, ids_.topWindow)) top->checked = settings.topwindow;
    if (MenuEntry* autostart = findIn(entries_, ids_.startWithDesktop)) autostart->checked = desktop.startsWithDesktop;
    if (MenuEntry* add = findIn(entries_, ids_.addToMyCharacters)) add->greyed = desktop.characterIsTheUsers;
}

const MenuEntry* SpriteMenuModel::findEntry(int id) const { return findIn(entries_, id); }

std::optional<WindowCommand> SpriteMenuModel::contentCommandFor(int id) const {
    std::array<int, 5> borders{ids_.characterStart, ids_.danceStart, ids_.soundStart, ids_.playListStart,
                               ids_.sizeStart};
    for (std::size_t i = 0; i < roots_.size(); ++i) {
        if (id < borders[i] || id >= borders[i + 1] || !roots_[i]) continue;
        if (auto path = findContentPath(*roots_[i], id)) return commandWithPath(kRoots[i]->command, *path);
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<WindowCommand> SpriteMenuModel::commandFor(int id, LaunchSettings& settings) const {
    if (id == SpriteMenuIds::kWebSite) return plainCommand(command::kOpenWebSite);
    if (id >= SpriteMenuIds::kFirstContent && id < ids_.sizeStart) return contentCommandFor(id);
    if (id >= ids_.sizeStart && id < ids_.sizeStart + 3) {
        return commandWithValue(command::kSetSize, (id - ids_.sizeStart + 1) * 128);
    }
    if (id == ids_.loop) {
        settings.loop = !settings.loop;
        return plainCommand(command::kApplyLoop);
    }
    if (id == ids_.shadow) {
        settings.shadow = !settings.shadow;
        return plainCommand(command::kApplyShadow);
    }
    if (ids_.topWindow != 0 && id == ids_.topWindow) {
        settings.topwindow = !settings.topwindow;
        return plainCommand(command::kApplyTopWindow);
    }
    if (id == ids_.refresh) return plainCommand(command::kRefresh);
    if (id == ids_.sendMail) return plainCommand(command::kSendMail);
    if (id == ids_.mailPreference) return plainCommand(command::kMailPreference);
    if (id == ids_.exit) return plainCommand(command::kExit);
    if (id == ids_.startWithDesktop) return plainCommand(command::kStartWithDesktop);
    if (id == ids_.addToMyCharacters) return plainCommand(command::kAddToMyCharacters);
    return std::nullopt;
}

}  // namespace kavelune
