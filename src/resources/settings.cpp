#include "resources/settings.h"

#include <glib.h>

#include <memory>
#include <variant>
#include <vector>

#include "resources/player_files.h"

namespace tenfold {

namespace {

// A settings file is a few hundred bytes; anything far larger is not ours.
constexpr std::uint64_t kSettingsLimit = 64 * 1024;

using Field = std::variant<bool Settings::*, int Settings::*, std::string Settings::*>;

// One line per setting: where it stands in the file, where it lives in
// Settings, and for numbers and names the values the game understands.
struct Key {
    const char* group;
    const char* name;
    Field field;
    std::vector<std::string> allowed;  // empty: any value of the type
};

const std::vector<Key>& Keys() {
    static const std::vector<Key> keys = {
        {"Table", "deck", &Settings::deck, {"Roya2", "Royal"}},
        {"Table", "windowed", &Settings::windowed, {}},
        {"Table", "slow_animation", &Settings::slowAnimation, {}},
        {"Rules", "seven_of_hearts_lead", &Settings::sevenOfHeartsLead, {}},
        {"Rules", "deal_packets", &Settings::dealPackets, {"1", "13"}},
        {"Table", "classic_table", &Settings::classicTable, {}},
        {"Table", "dim_unplayable", &Settings::dimUnplayable, {}},
        {"Rules", "opponents", &Settings::opponents, {"classic", "expert"}},
    };
    return keys;
}

struct KeyFileFree {
    void operator()(GKeyFile* f) const { g_key_file_free(f); }
};
using KeyFile = std::unique_ptr<GKeyFile, KeyFileFree>;

struct ErrorFree {
    void operator()(GError* e) const { g_error_free(e); }
};
using Error = std::unique_ptr<GError, ErrorFree>;

bool Allowed(const Key& key, const std::string& text) {
    if (key.allowed.empty()) return true;
    for (const std::string& a : key.allowed) {
        if (a == text) return true;
    }
    return false;
}

// Reads one key into `s`; false when it is present but not a value we know.
bool ReadKey(GKeyFile* file, const Key& key, Settings& s) {
    if (!g_key_file_has_key(file, key.group, key.name, nullptr)) return true;
    GError* raw = nullptr;
    if (auto* b = std::get_if<bool Settings::*>(&key.field)) {
        const gboolean v = g_key_file_get_boolean(file, key.group, key.name, &raw);
        Error err(raw);
        if (err) return false;
        s.*(*b) = v != FALSE;
        return true;
    }
    gchar* value = g_key_file_get_string(file, key.group, key.name, &raw);
    Error err(raw);
    if (err || value == nullptr) return false;
    const std::string text(value);
    g_free(value);
    if (!Allowed(key, text)) return false;
    if (auto* n = std::get_if<int Settings::*>(&key.field)) {
        s.*(*n) = std::stoi(text);  // only listed values reach here
    } else {
        s.*std::get<std::string Settings::*>(key.field) = text;
    }
    return true;
}

void WriteKey(GKeyFile* file, const Key& key, const Settings& s) {
    if (auto* b = std::get_if<bool Settings::*>(&key.field)) {
        g_key_file_set_boolean(file, key.group, key.name, s.*(*b) ? TRUE : FALSE);
    } else if (auto* n = std::get_if<int Settings::*>(&key.field)) {
        g_key_file_set_string(file, key.group, key.name, std::to_string(s.*(*n)).c_str());
    } else {
        g_key_file_set_string(file, key.group, key.name,
                              (s.*std::get<std::string Settings::*>(key.field)).c_str());
    }
}

}  // namespace

std::string SettingsPath() {
    const std::string folder = PlayerFolderPath(PlayerFolder::Config);
    return folder.empty() ? std::string() : folder + "/settings.ini";
}

Settings LoadSettings(const std::string& path, std::string& warning) {
    warning.clear();
    Settings settings;
    if (path.empty()) return settings;

    std::vector<std::uint8_t> bytes;
    bool missing = false;
    if (Result r = LoadPlayerFile(path, kSettingsLimit, bytes, missing); !r) {
        warning = "settings: " + r.Reason() + "; using the defaults";
        return settings;
    }
    if (missing) return settings;

    KeyFile file(g_key_file_new());
    GError* raw = nullptr;
    const auto* text = reinterpret_cast<const gchar*>(bytes.data());
    const bool parsed = g_utf8_validate(text, static_cast<gssize>(bytes.size()), nullptr) &&
                        g_key_file_load_from_data(file.get(), text, bytes.size(), G_KEY_FILE_NONE, &raw);
    Error err(raw);
    if (!parsed) {
        const std::string aside = SetAside(path);
        warning = "settings: " + path + " is damaged" +
                  (err ? std::string(" (") + err->message + ")" : std::string(" (not UTF-8 text)")) +
                  (aside.empty() ? std::string() : "; kept as " + aside) + "; using the defaults";
        return settings;
    }

    std::string unknown;
    for (const Key& key : Keys()) {
        if (ReadKey(file.get(), key, settings)) continue;
        unknown += (unknown.empty() ? "" : ", ") + std::string(key.group) + "/" + key.name;
    }
    if (!unknown.empty()) {
        warning = "settings: " + path + ": values the game does not know for " + unknown +
                  "; those settings keep their defaults";
    }
    return settings;
}

std::string SaveSettings(const std::string& path, const Settings& settings) {
    if (path.empty()) return "settings: no folder to keep them in (neither XDG_CONFIG_HOME nor HOME is set)";
    KeyFile file(g_key_file_new());
    g_key_file_set_comment(file.get(), nullptr, nullptr,
                           " Tenfold's settings, written when Start is pressed in the start dialog.",
                           nullptr);
    for (const Key& key : Keys()) WriteKey(file.get(), key, settings);
    gsize length = 0;
    gchar* data = g_key_file_to_data(file.get(), &length, nullptr);
    const std::string text(data, length);
    g_free(data);
    if (Result r = SaveDurably(path, text); !r) return "settings: " + r.Reason();
    return {};
}

void ApplySettings(const Settings& settings, Options& options) {
    options.deckName = settings.deck;
    options.fullScreen = !settings.windowed;
    options.slowAnimation = settings.slowAnimation;
    options.sevenOfHeartsLead = settings.sevenOfHeartsLead;
    options.dealPacketSize = static_cast<std::int16_t>(settings.dealPackets);
    options.classicTable = settings.classicTable;
    options.dimUnplayable = settings.dimUnplayable;
    options.expertOpponents = settings.opponents == "expert";
}

Settings SettingsOf(const Options& options) {
    Settings s;
    s.deck = options.deckName;
    s.windowed = !options.fullScreen;
    s.slowAnimation = options.slowAnimation;
    s.sevenOfHeartsLead = options.sevenOfHeartsLead;
    s.dealPackets = options.dealPacketSize;
    s.classicTable = options.classicTable;
    s.dimUnplayable = options.dimUnplayable;
    s.opponents = options.expertOpponents ? "expert" : "classic";
    return s;
}

}  // namespace tenfold
