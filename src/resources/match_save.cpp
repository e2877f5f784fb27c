#include "resources/match_save.h"

#include <glib.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <memory>
#include <sstream>

#include "resources/player_files.h"

namespace tenfold {

namespace {

constexpr std::string_view kMagic = "tenfold saved match";
// A save holds at most twenty deals of a few dozen decisions; sorts can
// repeat, but a file this large is not one the game wrote.
constexpr std::uint64_t kSaveLimit = 4u << 20;
constexpr std::size_t kMaxJournal = 100000;

std::string Hex64(std::uint64_t v) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(v));
    return text;
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t end = std::min(line.find(' ', at), line.size());
        words.push_back(line.substr(at, end - at));
        at = end + 1;
    }
    return words;
}

template <class T>
bool Number(std::string_view text, T& out, int base = 10) {
    if (text.empty() || text[0] == '+' || (text[0] == '-' && base == 16)) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out, base);
    return ec == std::errc() && end == text.data() + text.size();
}

bool Hex(std::string_view text, std::uint64_t& out) { return text.size() == 16 && Number(text, out, 16); }

// "name=value" with the expected name.
bool Field(std::string_view word, std::string_view name, std::string_view& value) {
    if (word.size() <= name.size() || word.substr(0, name.size()) != name || word[name.size()] != '=') {
        return false;
    }
    value = word.substr(name.size() + 1);
    return true;
}

template <class T>
bool NumberField(std::string_view word, std::string_view name, T& out, T least, T most) {
    std::string_view value;
    return Field(word, name, value) && Number(value, out) && out >= least && out <= most;
}

bool Flag(std::string_view word, std::string_view name, bool& out) {
    int v = 0;
    if (!NumberField(word, name, v, 0, 1)) return false;
    out = v == 1;
    return true;
}

bool ValidEntry(const JournalEntry& e) {
    switch (e.act) {
        case HumanAct::Sort:
        case HumanAct::NextDeal: return e.value == 0;
        case HumanAct::Contract: return e.value >= 1 && e.value <= 10;
        case HumanAct::Card: return e.value >= 0 && e.value <= 51;
    }
    return false;
}

// Reads the lines of a save whose check has been verified.
class Reader {
public:
    explicit Reader(std::string_view body) {
        std::size_t at = 0;
        while (at < body.size()) {
            const std::size_t end = body.find('\n', at);
            lines_.push_back(body.substr(at, end - at));
            at = end + 1;
        }
    }
    // The next line's words when it starts with `keyword` (any word when it is
    // empty) and has `count` words.
    bool Next(std::string_view keyword, std::size_t count, std::vector<std::string_view>& words) {
        if (next_ >= lines_.size()) return false;
        words = Words(lines_[next_]);
        if (words.size() != count || (!keyword.empty() && words[0] != keyword)) return false;
        ++next_;
        return true;
    }
    bool Peek(std::string_view keyword) const {
        return next_ < lines_.size() && Words(lines_[next_]).front() == keyword;
    }
    bool AtEnd() const { return next_ == lines_.size(); }

private:
    std::vector<std::string_view> lines_;
    std::size_t next_ = 0;
};

std::optional<MatchSave> Fail(std::string& why, std::string text) {
    why = std::move(text);
    return std::nullopt;
}

}  // namespace

std::string Sha256Hex(std::string_view bytes) {
    gchar* sum = g_compute_checksum_for_data(G_CHECKSUM_SHA256, reinterpret_cast<const guchar*>(bytes.data()),
                                             bytes.size());
    std::string text(sum);
    g_free(sum);
    return text;
}

std::string EncodeMatchSave(const MatchSave& s) {
    std::ostringstream out;
    out << kMagic << "\n";
    out << "version " << kMatchSaveVersion << "\n";
    out << "rules deck=" << s.deck << " seven-of-hearts-lead=" << (s.sevenOfHeartsLead ? 1 : 0)
        << " deal-packets=" << s.dealPackets << " slow=" << (s.slowAnimation ? 1 : 0) << "\n";
    out << "start " << Hex64(s.start.state) << " " << Hex64(s.start.increment)
        << " first-seat=" << s.firstSeat << " chosen=" << (s.firstSeatChosen ? 1 : 0)
        << " started=" << s.startedAt << "\n";
    out << "deal " << s.deal << " " << Hex64(s.dealStart.state) << " " << Hex64(s.dealStart.increment)
        << " totals=" << s.totalsAtDealStart[0] << "," << s.totalsAtDealStart[1] << ","
        << s.totalsAtDealStart[2] << "," << s.totalsAtDealStart[3] << "\n";
    if (s.autopilot) {
        out << "autopilot " << Hex64(s.autopilot->state) << " " << Hex64(s.autopilot->increment) << "\n";
    }
    // Only when not the classic players, so a classic match's save reads as before.
    if (s.expertOpponents) out << "opponents expert\n";
    out << "journal " << s.journal.size() << "\n";
    for (const JournalEntry& e : s.journal) {
        out << Hex64(e.at) << " " << static_cast<char>(e.act) << " " << e.value << "\n";
    }
    std::string body = out.str();
    return body + "check " + Sha256Hex(body) + "\n";
}

std::optional<MatchSave> DecodeMatchSave(std::string_view bytes, std::string& why) {
    if (bytes.empty()) return Fail(why, "the file is empty");
    if (bytes.substr(0, kMagic.size() + 1) != std::string(kMagic) + "\n") {
        return Fail(why, "not a saved match of this game");
    }
    {
        const std::string_view rest = bytes.substr(kMagic.size() + 1);
        int version = 0;
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        if (end == std::string_view::npos || line.substr(0, 8) != "version " ||
            !Number(line.substr(8), version)) {
            return Fail(why, "it has no version");
        }
        if (version != kMatchSaveVersion) {
            return Fail(why, "it is of version " + std::to_string(version) + ", this game reads version " +
                                 std::to_string(kMatchSaveVersion));
        }
    }
    // The check line closes the file: everything before it is what was summed.
    if (bytes.back() != '\n') return Fail(why, "it is cut short");
    const std::size_t lastStart = bytes.rfind('\n', bytes.size() - 2) + 1;
    const std::string_view body = bytes.substr(0, lastStart);
    const std::string_view checkLine = bytes.substr(lastStart, bytes.size() - lastStart - 1);
    if (checkLine.substr(0, 6) != "check ") return Fail(why, "it is cut short");
    if (checkLine.substr(6) != Sha256Hex(body)) return Fail(why, "its check does not match its content");

    Reader r(body);
    std::vector<std::string_view> w;
    MatchSave s;
    const auto bad = [&why](std::string_view what) {
        return Fail(why, "its " + std::string(what) + " is wrong");
    };
    r.Next(kMagic.substr(0, 7), 3, w);  // the magic line, already checked
    r.Next("version", 2, w);
    std::string_view deck;
    if (!r.Next("rules", 5, w) || !Field(w[1], "deck", deck) || (deck != "Royal" && deck != "Roya2") ||
        !Flag(w[2], "seven-of-hearts-lead", s.sevenOfHeartsLead) ||
        !NumberField<std::int16_t>(w[3], "deal-packets", s.dealPackets, 1, 13) ||
        (s.dealPackets != 1 && s.dealPackets != 13) || !Flag(w[4], "slow", s.slowAnimation)) {
        return bad("rules line");
    }
    s.deck = std::string(deck);
    if (!r.Next("start", 6, w) || !Hex(w[1], s.start.state) || !Hex(w[2], s.start.increment) ||
        !NumberField<std::int16_t>(w[3], "first-seat", s.firstSeat, 0, 3) ||
        !Flag(w[4], "chosen", s.firstSeatChosen) ||
        !NumberField<std::int64_t>(w[5], "started", s.startedAt, 0, std::int64_t{1} << 40)) {
        return bad("start line");
    }
    std::string_view totals;
    if (!r.Next("deal", 5, w) || !Number(w[1], s.deal) || s.deal < 1 || s.deal > 20 ||
        !Hex(w[2], s.dealStart.state) || !Hex(w[3], s.dealStart.increment) ||
        !Field(w[4], "totals", totals)) {
        return bad("deal line");
    }
    {
        std::size_t at = 0;
        for (int seat = 0; seat < 4; ++seat) {
            const std::size_t end = seat == 3 ? totals.size() : totals.find(',', at);
            if (end == std::string_view::npos ||
                !Number(totals.substr(at, end - at), s.totalsAtDealStart[seat])) {
                return bad("deal line");
            }
            at = end + 1;
        }
    }
    if (r.Peek("autopilot")) {
        GeneratorPosition p;
        if (!r.Next("autopilot", 3, w) || !Hex(w[1], p.state) || !Hex(w[2], p.increment)) {
            return bad("autopilot line");
        }
        s.autopilot = p;
    }
    if (r.Peek("opponents")) {
        if (!r.Next("opponents", 2, w) || w[1] != "expert") return bad("opponents line");
        s.expertOpponents = true;
    }
    std::size_t count = 0;
    if (!r.Next("journal", 2, w) || !Number(w[1], count) || count > kMaxJournal) return bad("journal line");
    s.journal.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        JournalEntry e;
        if (!r.Next({}, 3, w) || !Hex(w[0], e.at) || w[1].size() != 1 || !Number(w[2], e.value)) {
            return bad("journal");
        }
        e.act = static_cast<HumanAct>(w[1][0]);
        if (!ValidEntry(e)) return bad("journal");
        s.journal.push_back(e);
    }
    if (!r.AtEnd()) return Fail(why, "it has lines after its journal");
    return s;
}

std::string MatchSavePath() {
    const std::string folder = PlayerFolderPath(PlayerFolder::State);
    return folder.empty() ? std::string() : folder + "/match.sav";
}

LoadedMatch LoadMatchSave(const std::string& path) {
    LoadedMatch out;
    if (path.empty()) return out;
    std::vector<std::uint8_t> bytes;
    bool missing = false;
    std::string why;
    if (Result r = LoadPlayerFile(path, kSaveLimit, bytes, missing); !r) {
        why = r.Reason();
    } else if (missing) {
        return out;
    } else if (auto save = DecodeMatchSave(
                   std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), why)) {
        out.status = LoadedMatch::Status::Loaded;
        out.save = std::move(*save);
        return out;
    }
    out.status = LoadedMatch::Status::Damaged;
    out.message = SetAsideMatchSave(path, why);
    return out;
}

std::string SetAsideMatchSave(const std::string& path, const std::string& why) {
    const std::string aside = SetAside(path);
    return "tenfold: the saved match " + path + " cannot be resumed (" + why + ")" +
           (aside.empty() ? std::string("; it could not be moved aside") : "; kept as " + aside) +
           "; a new match starts";
}

std::string StoreMatchSave(const std::string& path, const MatchSave& save) {
    if (path.empty()) return "no folder to keep the saved match in (neither XDG_STATE_HOME nor HOME is set)";
    if (Result r = SaveDurably(path, EncodeMatchSave(save)); !r) return r.Reason();
    return {};
}

std::string RemoveMatchSave(const std::string& path) {
    if (path.empty() || std::remove(path.c_str()) == 0 || errno == ENOENT) return {};
    return path + ": cannot remove: " + ErrnoText(errno);
}

}  // namespace tenfold
