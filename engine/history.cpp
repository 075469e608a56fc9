// The player's game history: a tab-separated text file with a header line,
// one line per game, appended with one write per line.
#include "engine/history.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <type_traits>

#include "platform/core/files.h"
#include "settings/shared.h"

namespace dexlora {

namespace {

constexpr std::string_view FileName = "history.tsv";
constexpr std::string_view RotatedName = "history.1.tsv";
constexpr std::string_view Header =
    "when (UTC)\tlength\tflexible\tmax combo\tmisses\tclears\tmastery\trank\tcorrect keys\t"
    "keys per minute\taccuracy\tkana (right:misses:timed:ms)\n";
constexpr size_t Columns = 12;

// Closes a file descriptor when it goes out of scope.
struct Descriptor {
    int Fd;
    ~Descriptor() {
        if (Fd >= 0) ::close(Fd);
    }
};

bool MakeFolders(const std::string& folder) {
    for (size_t pos = 1; pos <= folder.size(); ++pos) {
        if (pos != folder.size() && folder[pos] != '/') continue;
        if (mkdir(folder.substr(0, pos).c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    struct stat st;
    return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void Number(std::string& out, auto value) {
    char buffer[32];
    out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

void Fixed(std::string& out, double value, int digits) {
    char buffer[64];
    const auto done = std::to_chars(buffer, buffer + sizeof buffer, std::isfinite(value) ? value : 0.0,
                                    std::chars_format::fixed, digits);
    out.append(buffer, done.ec == std::errc() ? done.ptr : buffer);
}

// A kana the line can hold: not empty, without the characters that end a
// column, an entry or a line.
bool WritableKana(std::string_view kana) {
    return !kana.empty() && kana.size() <= 32 && kana.find_first_of(" \t\r\n") == std::string_view::npos;
}

void KanaEntry(std::string& out, const KanaRecord& kana) {
    out += kana.Kana;
    for (const uint64_t value : {uint64_t{kana.Right}, uint64_t{kana.Misses}, uint64_t{kana.Timed}, kana.FirstKeyMs}) {
        out += ':';
        Number(out, value);
    }
}

// A whole field as a number within [low, high]; false otherwise.
template <typename T>
bool Parse(std::string_view field, T& value, T low, T high) {
    if (field.empty() || field.front() == '+') return false;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc() || end != field.data() + field.size()) return false;
    if constexpr (std::is_floating_point_v<T>) {
        if (!std::isfinite(value)) return false;
    }
    return value >= low && value <= high;
}

bool ParseWhen(std::string_view field, int64_t& when) {
    // YYYY-MM-DD HH:MM:SS
    if (field.size() != 19 || field[4] != '-' || field[7] != '-' || field[10] != ' ' || field[13] != ':' ||
        field[16] != ':') {
        return false;
    }
    std::array<int, 6> parts;
    const size_t at[6] = {0, 5, 8, 11, 14, 17}, width[6] = {4, 2, 2, 2, 2, 2};
    for (int i = 0; i < 6; ++i) {
        if (!Parse(field.substr(at[i], width[i]), parts[i], 0, 9999)) return false;
    }
    const auto [year, month, day, hour, minute, second] = parts;
    // Days since 1970-01-01 of a date in the proleptic Gregorian calendar.
    const int monthDays[] = {31, (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)) ? 29 : 28, 31, 30, 31, 30,
                             31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > monthDays[month - 1] || hour > 23 || minute > 59 || second > 59) {
        return false;
    }
    const int64_t y = month <= 2 ? year - 1 : year;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yearOfEra = y - era * 400;
    const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const int64_t days = era * 146097 + yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear - 719468;
    const int64_t seconds = ((days * 24 + hour) * 60 + minute) * 60 + second;
    when = seconds;
    return true;
}

// Reads the kana column into kana. One pass over the bytes: this column is
// most of a history's text.
bool ParseKana(std::string_view column, std::vector<KanaRecord>* kana) {
    const char* p = column.data();
    const char* const end = p + column.size();
    while (p < end) {
        const char* entryEnd = static_cast<const char*>(std::memchr(p, ' ', size_t(end - p)));
        if (entryEnd == nullptr) entryEnd = end;
        // The four numbers come last, each after a colon; the kana is what stands before them.
        uint64_t values[4];
        const char* at = entryEnd;
        for (int i = 3; i >= 0; --i) {
            uint64_t value = 0, scale = 1;
            const char* digitsEnd = at;
            while (at > p && at[-1] >= '0' && at[-1] <= '9' && digitsEnd - at < 15) {
                value += uint64_t(at[-1] - '0') * scale, scale *= 10, --at;
            }
            const uint64_t high = i == 3 ? uint64_t{1} << 48 : UINT32_MAX;
            if (at == digitsEnd || at == p || at[-1] != ':' || value > high) return false;
            values[i] = value;
            --at;
        }
        const std::string_view text(p, size_t(at - p));
        if (!WritableKana(text)) return false;
        kana->push_back({std::string(text), uint32_t(values[0]), uint32_t(values[1]), uint32_t(values[2]), values[3]});
        p = entryEnd == end ? end : entryEnd + 1;
        if (entryEnd != end && p == end) return false;  // a blank at the end
    }
    return true;
}

std::optional<GameRecord> ParseLine(std::string_view line, bool withKana);

// The lines of text, from its end back, that parse, up to `last` of them,
// pushed newest first. Answers how many lines were damaged.
size_t TakeNewest(std::string_view text, size_t last, size_t kanaOfLast, std::vector<GameRecord>& newestFirst) {
    size_t damaged = 0;
    for (size_t end = text.size(); end > 0 && newestFirst.size() < last;) {
        // Only the file's last line can lack its line end: a write cut short.
        const bool whole = text[end - 1] == '\n';
        const size_t lineEnd = whole ? end - 1 : end;
        const void* before = lineEnd == 0 ? nullptr : memrchr(text.data(), '\n', lineEnd);
        const size_t from = before == nullptr ? 0 : size_t(static_cast<const char*>(before) - text.data()) + 1;
        const std::string_view line = text.substr(from, lineEnd - from);
        end = from;
        if (line.empty() || (from == 0 && line.starts_with("when"))) continue;
        std::optional<GameRecord> record = whole ? ParseLine(line, newestFirst.size() < kanaOfLast) : std::nullopt;
        if (record) {
            newestFirst.push_back(std::move(*record));
        } else {
            ++damaged;
        }
    }
    return damaged;
}

// Counts the line ends of the open file from byte `from` on, and tells
// whether it ends in one.
bool CountLines(int fd, size_t from, size_t size, size_t& lines, bool& endsLine) {
    char buffer[65536];
    lines = 0;
    endsLine = true;
    for (size_t at = from; at < size;) {
        const ssize_t got = pread(fd, buffer, std::min(sizeof buffer, size - at), static_cast<off_t>(at));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        lines += static_cast<size_t>(std::count(buffer, buffer + got, '\n'));
        endsLine = buffer[got - 1] == '\n';
        at += static_cast<size_t>(got);
    }
    return true;
}

int OpenForAppend(const std::string& path) {
    // O_NONBLOCK: a FIFO put there fails at once instead of waiting for a reader.
    return ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0600);
}

}  // namespace

std::string HistoryPath;

std::string HistoryFolder() {
    const auto absolute = [](const char* path) { return path != nullptr && path[0] == '/'; };
    const auto below = [](std::string folder, std::string_view rest) {
        if (folder.back() != '/') folder += '/';
        return folder + std::string(rest);
    };
    if (const char* data = std::getenv("XDG_DATA_HOME"); absolute(data)) return below(data, "dexlora/");
    if (const char* home = std::getenv("HOME"); absolute(home)) return below(home, ".local/share/dexlora/");
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && absolute(entry->pw_dir)) {
        return below(entry->pw_dir, ".local/share/dexlora/");
    }
    return {};
}

std::string HistoryLine(const GameRecord& record) {
    std::string line;
    line.reserve(256 + record.Kana.size() * 20);
    char when[32] = "1970-01-01 00:00:00";
    const time_t seconds = static_cast<time_t>(record.When);
    if (tm fields{}; gmtime_r(&seconds, &fields) != nullptr && fields.tm_year + 1900 >= 0 &&
                     fields.tm_year + 1900 <= 9999) {
        std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d:%02d", fields.tm_year + 1900, fields.tm_mon + 1,
                      fields.tm_mday, fields.tm_hour, fields.tm_min, fields.tm_sec);
    }
    line += when;
    for (const int32_t value : {record.Length, int32_t{record.Flexible}, record.MaxCombo, record.Misses,
                                record.Clears}) {
        line += '\t';
        Number(line, value);
    }
    line += '\t';
    Fixed(line, record.Mastery, 3);
    for (const int32_t value : {record.Rank, record.CorrectKeys}) {
        line += '\t';
        Number(line, value);
    }
    line += '\t';
    Fixed(line, record.KeysPerMinute, 1);
    line += '\t';
    Fixed(line, record.Accuracy, 4);
    line += '\t';
    // The most typed kana first, so that a line held to its limit loses the
    // ones that say least.
    std::vector<const KanaRecord*> kana;
    for (const KanaRecord& entry : record.Kana) {
        if (WritableKana(entry.Kana)) kana.push_back(&entry);
    }
    std::stable_sort(kana.begin(), kana.end(), [](const KanaRecord* a, const KanaRecord* b) {
        return uint64_t{a->Right} + a->Misses > uint64_t{b->Right} + b->Misses;
    });
    const size_t start = line.size();
    for (const KanaRecord* entry : kana) {
        const size_t before = line.size();
        if (before > start) line += ' ';
        KanaEntry(line, *entry);
        if (line.size() >= MaxHistoryLineBytes) {
            line.resize(before);
            break;
        }
    }
    line += '\n';
    return line;
}

std::optional<GameRecord> ParseHistoryLine(std::string_view line) { return ParseLine(line, true); }

namespace {

std::optional<GameRecord> ParseLine(std::string_view line, bool withKana) {
    if (line.size() >= MaxHistoryLineBytes) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // saved again by a spreadsheet
    std::string_view fields[Columns];
    for (size_t i = 0; i < Columns; ++i) {
        const size_t tab = line.find('\t');
        if ((tab == std::string_view::npos) != (i + 1 == Columns)) return std::nullopt;
        fields[i] = line.substr(0, tab);
        line.remove_prefix(tab == std::string_view::npos ? line.size() : tab + 1);
    }
    GameRecord record;
    constexpr int32_t Most = INT32_MAX;
    int32_t flexible = 0;
    if (!ParseWhen(fields[0], record.When) || !Parse(fields[1], record.Length, 1, 86400) ||
        !Parse(fields[2], flexible, 0, 1) || !Parse(fields[3], record.MaxCombo, 0, Most) ||
        !Parse(fields[4], record.Misses, 0, Most) || !Parse(fields[5], record.Clears, 0, Most) ||
        !Parse(fields[6], record.Mastery, -1e12, 1e12) || !Parse(fields[7], record.Rank, 0, Most) ||
        !Parse(fields[8], record.CorrectKeys, 0, Most) || !Parse(fields[9], record.KeysPerMinute, 0.0, 1e12) ||
        !Parse(fields[10], record.Accuracy, 0.0, 1.0) || (withKana && !ParseKana(fields[11], &record.Kana))) {
        return std::nullopt;
    }
    record.Flexible = flexible == 1;
    return record;
}

}  // namespace

bool AppendHistory(const std::string& folder, const GameRecord& record) {
    if (folder.empty() || folder.find('\0') != std::string::npos || !MakeFolders(folder)) return false;
    const std::string path = folder + std::string(FileName);
    const std::string line = HistoryLine(record);

    Descriptor file{OpenForAppend(path)};
    struct stat st;
    if (file.Fd < 0 || fstat(file.Fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    size_t size = static_cast<size_t>(st.st_size), lines = 0;
    bool endsLine = true;
    // A line of ours is over 50 bytes long: a smaller file cannot be full,
    // and only its last byte needs reading.
    const size_t countFrom = size < MaxHistoryGames * 50 && size > 0 ? size - 1 : 0;
    if (size > MaxHistoryBytes || !CountLines(file.Fd, countFrom, size, lines, endsLine)) return false;
    // The header is one of the lines; a full file moves away whole by one
    // rename, so that no game is ever half in one file and half in the other.
    if (lines >= MaxHistoryGames + 1 || size + line.size() + 1 > RotateHistoryBytes) {
        if (::rename(path.c_str(), (folder + std::string(RotatedName)).c_str()) != 0) return false;
        ::close(file.Fd);
        file.Fd = OpenForAppend(path);
        if (file.Fd < 0 || fstat(file.Fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
        size = static_cast<size_t>(st.st_size), endsLine = true;
    }
    // One write: a line from another running copy of the game never lands
    // inside it, and a crash leaves at most this line torn. A torn line
    // before it gets its line end first, so this one stays whole.
    const std::string bytes = std::string(size == 0 ? Header : "") + (endsLine ? "" : "\n") + line;
    ssize_t written;
    do {
        written = ::write(file.Fd, bytes.data(), bytes.size());
    } while (written < 0 && errno == EINTR);
    if (written != static_cast<ssize_t>(bytes.size())) {
        // A full disk took part of it: take the part back where we can.
        if (written > 0) (void)!ftruncate(file.Fd, static_cast<off_t>(size));
        return false;
    }
    if (fsync(file.Fd) != 0) return false;
    if (size == 0) {  // a new file: its name must reach the disk too
        Descriptor dir{::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
        if (dir.Fd >= 0) fsync(dir.Fd);
    }
    return true;
}

std::vector<GameRecord> ReadHistory(const std::string& folder, size_t last, size_t kanaOfLast) {
    std::vector<GameRecord> games;
    if (folder.empty() || last == 0) return games;
    size_t damaged = 0;
    std::string problems;
    std::string text;
    for (const std::string_view name : {FileName, RotatedName}) {
        if (games.size() >= last) break;
        const std::string path = folder + std::string(name);
        switch (ReadWholeFile(path, text, MaxHistoryBytes)) {
            case FileReadStatus::Ok:
                damaged += TakeNewest(text, last, kanaOfLast, games);
                break;
            case FileReadStatus::Missing:
                break;
            default:
                problems += (problems.empty() ? "" : ", ") + path;
                break;
        }
    }
    std::reverse(games.begin(), games.end());
    if (damaged > 0 || !problems.empty()) {
        std::string message = "History: ";
        if (damaged > 0) message += std::to_string(damaged) + " damaged line(s) skipped in " + folder;
        if (!problems.empty()) message += (damaged > 0 ? "; " : "") + ("cannot read " + problems);
        // The history is read again after every game: a damaged line is worth one message a session.
        static std::string lastMessage;
        if (message != lastMessage) AppendErrLog(message), lastMessage = std::move(message);
    }
    return games;
}

std::optional<GameRecord> BestOfLength(std::span<const GameRecord> games, int32_t length) {
    const GameRecord* best = nullptr;
    for (const GameRecord& game : games) {
        if (game.Length == length && (best == nullptr || game.KeysPerMinute > best->KeysPerMinute)) best = &game;
    }
    return best ? std::optional<GameRecord>(*best) : std::nullopt;
}

}  // namespace dexlora
