// The profile reader's cache of parsed files and their index.
#include "platform/core/profile_cache.h"

#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>
#include <time.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <deque>
#include <vector>

#include "platform/core/encoding.h"
#include "platform/core/files.h"
#include "platform/core/profile_lines.h"

namespace dexlora::profile_detail {

namespace {

// SipHash-1-3 under a key drawn at start-up: a skin cannot choose names that
// all fall into one slot of the tables below and make every lookup a scan.
class NameHasher {
public:
    NameHasher() {
        uint64_t key[2] = {0, 0};
        if (getrandom(key, sizeof key, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof key)) {
            // Entropy not ready this early: any changing key still hides the slots.
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            key[0] = static_cast<uint64_t>(now.tv_nsec) * 0x9E3779B97F4A7C15ULL ^ static_cast<uint64_t>(getpid());
            key[1] = static_cast<uint64_t>(now.tv_sec) ^ reinterpret_cast<uintptr_t>(&now);
        }
        k0_ = key[0];
        k1_ = key[1];
    }

    uint32_t operator()(std::string_view data) const {
        uint64_t v0 = 0x736f6d6570736575ULL ^ k0_, v1 = 0x646f72616e646f6dULL ^ k1_;
        uint64_t v2 = 0x6c7967656e657261ULL ^ k0_, v3 = 0x7465646279746573ULL ^ k1_;
        auto round = [&] {
            v0 += v1, v1 = std::rotl(v1, 13), v1 ^= v0, v0 = std::rotl(v0, 32);
            v2 += v3, v3 = std::rotl(v3, 16), v3 ^= v2;
            v0 += v3, v3 = std::rotl(v3, 21), v3 ^= v0;
            v2 += v1, v1 = std::rotl(v1, 17), v1 ^= v2, v2 = std::rotl(v2, 32);
        };
        size_t i = 0;
        for (; i + 8 <= data.size(); i += 8) {
            uint64_t word;
            std::memcpy(&word, data.data() + i, 8);
            v3 ^= word, round(), v0 ^= word;
        }
        uint64_t last = static_cast<uint64_t>(data.size()) << 56;
        for (size_t j = 0; i + j < data.size(); ++j) last |= static_cast<uint64_t>(static_cast<uint8_t>(data[i + j])) << (8 * j);
        v3 ^= last, round(), v0 ^= last;
        v2 ^= 0xff, round(), round(), round();
        return static_cast<uint32_t>(v0 ^ v1 ^ v2 ^ v3);
    }

private:
    uint64_t k0_ = 0, k1_ = 0;
};

const NameHasher& Hasher() {
    static const NameHasher hasher;
    return hasher;
}

// A name in the form two names share exactly when NamesMatch says they match:
// ASCII letters folded outside two-byte characters.
void AppendFolded(std::string& out, std::string_view name) {
    for (size_t i = 0; i < name.size(); ++i) {
        if (IsCp932LeadByte(static_cast<unsigned char>(name[i]))) {
            out += name[i];
            if (++i < name.size()) out += name[i];
        } else {
            out += FoldAscii(name[i]);
        }
    }
}

// Offsets fit in 32 bits: no file read is larger than MaxTextFileBytes.
static_assert(MaxTextFileBytes < (uint64_t{1} << 31));

// Open addressing over positions in a vector of entries that keep their
// hash. A slot holds position + 1 in its low bits (0 when free) and the top
// bits of the hash above them, so that probing past other names seldom
// visits their entries. At most 70% full.
class SlotTable {
public:
    // No file has more entries: a key line takes at least three bytes.
    static constexpr uint32_t PositionBits = 25;
    static_assert(MaxTextFileBytes / 3 < (uint32_t{1} << PositionBits) - 1);

    // The position of the entry with this hash that matches answers, or -1.
    template <class Matches>
    int64_t Find(uint32_t hash, Matches matches) const {
        if (slots_.empty()) return -1;
        for (size_t slot = hash & mask_;; slot = (slot + 1) & mask_) {
            const uint32_t held = slots_[slot];
            if (held == 0) return -1;
            const uint32_t position = (held & PositionMask) - 1;
            if ((held & ~PositionMask) == Tag(hash) && matches(position)) return position;
        }
    }

    // Adds position (known to be absent); hashOf answers the hash of a stored position.
    template <class HashOf>
    void Add(uint32_t hash, uint32_t position, HashOf hashOf) {
        if ((count_ + 1) * 10 > slots_.size() * 7) {
            std::vector<uint32_t> old = std::move(slots_);
            slots_.assign(old.empty() ? 16 : old.size() * 2, 0);
            mask_ = slots_.size() - 1;
            for (uint32_t held : old) {
                if (held != 0) Place(hashOf((held & PositionMask) - 1), held);
            }
        }
        Place(hash, Tag(hash) | (position + 1));
        ++count_;
    }

    size_t Bytes() const { return slots_.capacity() * sizeof(uint32_t); }

private:
    static constexpr uint32_t PositionMask = (uint32_t{1} << PositionBits) - 1;
    static uint32_t Tag(uint32_t hash) { return hash & ~PositionMask; }

    void Place(uint32_t hash, uint32_t held) {
        size_t slot = hash & mask_;
        while (slots_[slot] != 0) slot = (slot + 1) & mask_;
        slots_[slot] = held;
    }

    std::vector<uint32_t> slots_;
    size_t mask_ = 0;
    size_t count_ = 0;
};

}  // namespace

// A file's bytes with every section and key a lookup can reach, found in one
// pass: the first section of each name and the first key of each name in it.
class ProfileIndex {
public:
    explicit ProfileIndex(std::string bytes) : bytes_(std::move(bytes)) {
        std::string folded;
        int64_t current = -1;  // the section whose keys count, -1 outside or in a repeated one
        for (size_t pos = 0; pos < bytes_.size();) {
            const Line line = LineAt(bytes_, pos);
            pos = line.next;
            const ParsedLine parsed = ParseLine(std::string_view(bytes_).substr(line.start, line.end - line.start));
            if (parsed.kind == ParsedLine::Section) {
                const uint32_t hash = SectionHash(parsed.name, folded);
                if (FindSection(hash, parsed.name) >= 0) {
                    current = -1;
                    continue;
                }
                current = static_cast<int64_t>(sections_.size());
                sections_.push_back({hash, Offset(parsed.name), static_cast<uint32_t>(parsed.name.size()),
                                     static_cast<uint32_t>(keys_.size())});
                sectionSlots_.Add(hash, static_cast<uint32_t>(current), [&](uint32_t i) { return sections_[i].hash; });
            } else if (parsed.kind == ParsedLine::Key && current >= 0) {
                const uint32_t section = static_cast<uint32_t>(current);
                const uint32_t hash = KeyHash(section, parsed.name, folded);
                if (FindKey(hash, section, parsed.name) >= 0) continue;
                keys_.push_back({hash, Offset(parsed.name), static_cast<uint32_t>(parsed.name.size()),
                                 Offset(parsed.value), static_cast<uint32_t>(parsed.value.size())});
                keySlots_.Add(hash, static_cast<uint32_t>(keys_.size() - 1), [&](uint32_t i) { return keys_[i].hash; });
            }
        }
    }

    // The trimmed value of key in section (both CP932, trimmed), if the file has it.
    std::optional<std::string_view> Value(std::string_view section, std::string_view key) const {
        std::string folded;
        const int64_t found = FindSection(SectionHash(section, folded), section);
        if (found < 0) return std::nullopt;
        const uint32_t index = static_cast<uint32_t>(found);
        const int64_t entry = FindKey(KeyHash(index, key, folded), index, key);
        if (entry < 0) return std::nullopt;
        const Key& k = keys_[static_cast<size_t>(entry)];
        return std::string_view(bytes_).substr(k.valueStart, k.valueLength);
    }

    // Memory held, for the cache's budget.
    size_t Bytes() const {
        return bytes_.capacity() + sections_.size() * sizeof(Section) + keys_.size() * sizeof(Key) +
               sectionSlots_.Bytes() + keySlots_.Bytes();
    }

private:
    struct Section {
        uint32_t hash, nameStart, nameLength;
        uint32_t firstKey;  // a section's keys follow each other in keys_
    };
    struct Key {
        uint32_t hash, nameStart, nameLength, valueStart, valueLength;
    };

    uint32_t Offset(std::string_view inside) const { return static_cast<uint32_t>(inside.data() - bytes_.data()); }
    std::string_view Text(uint32_t start, uint32_t length) const { return std::string_view(bytes_).substr(start, length); }

    bool InSection(uint32_t key, uint32_t section) const {
        const uint32_t end = section + 1 < sections_.size() ? sections_[section + 1].firstKey : keys_.size();
        return key >= sections_[section].firstKey && key < end;
    }

    static uint32_t SectionHash(std::string_view name, std::string& folded) {
        folded.clear();
        AppendFolded(folded, name);
        return Hasher()(folded);
    }

    static uint32_t KeyHash(uint32_t section, std::string_view name, std::string& folded) {
        folded.assign(reinterpret_cast<const char*>(&section), sizeof section);
        AppendFolded(folded, name);
        return Hasher()(folded);
    }

    int64_t FindSection(uint32_t hash, std::string_view name) const {
        return sectionSlots_.Find(hash, [&](uint32_t i) {
            const Section& s = sections_[i];
            return s.hash == hash && NamesMatch(Text(s.nameStart, s.nameLength), name);
        });
    }

    int64_t FindKey(uint32_t hash, uint32_t section, std::string_view name) const {
        return keySlots_.Find(hash, [&](uint32_t i) {
            const Key& k = keys_[i];
            return k.hash == hash && InSection(i, section) && NamesMatch(Text(k.nameStart, k.nameLength), name);
        });
    }

    std::string bytes_;
    // Grown in blocks: no spare half and no copy when they grow, as a vector
    // would have, which for a file of short keys would be most of the memory.
    std::deque<Section> sections_;
    std::deque<Key> keys_;
    SlotTable sectionSlots_;
    SlotTable keySlots_;
};

namespace {

// What a file was when it was read: any change to it, in place or by
// replacing it, changes one of these.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{}, changed{};

    explicit FileIdentity(const struct stat& st)
        : device(st.st_dev), inode(st.st_ino), size(st.st_size), modified(st.st_mtim), changed(st.st_ctim) {}

    bool operator==(const FileIdentity& other) const {
        auto same = [](const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; };
        return device == other.device && inode == other.inode && size == other.size &&
               same(modified, other.modified) && same(changed, other.changed);
    }
};

// Whether a file's time stamps will tell its next change apart. Stamps come
// from a clock that ticks in steps (a few milliseconds, two seconds on FAT),
// so a change within the step of the last one keeps them all; a file changed
// that recently is read again at every lookup until the step has passed.
// A change stamp from the future cannot be one a change now would write.
bool Settled(const FileIdentity& identity, const timespec& now) {
    const bool coarse = identity.modified.tv_nsec == 0 && identity.changed.tv_nsec == 0;
    const int64_t step = coarse ? 2'000'000'000 : 100'000'000;
    auto nanoseconds = [](const timespec& t) { return static_cast<int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec; };
    const int64_t age = nanoseconds(now) - nanoseconds(identity.changed);
    return age > step || age < -step;
}

// The last few files read, so that the many lookups of a skin load parse each
// file once. One stat per lookup checks that the file is still what was read.
// One thread only: nothing here takes a lock.
class ProfileCache {
public:
    // The parsed file at path (resolved), or null when it is missing or cannot be read.
    std::shared_ptr<const ProfileIndex> Get(const std::string& path) {
        // A C path would end at the NUL and name another file.
        if (path.find('\0') != std::string::npos) return nullptr;
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        struct stat st;
        if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
            Forget(path);
            return nullptr;
        }
        const FileIdentity identity(st);
        auto held = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.path == path; });
        if (held != entries_.end()) {
            if (held->identity == identity) {
                std::rotate(entries_.begin(), held, held + 1);
                return entries_.front().index;
            }
            entries_.erase(held);
        }
        // Room first, so that a large file is never held twice over.
        size_t total = static_cast<size_t>(st.st_size);
        for (const Entry& e : entries_) total += e.index->Bytes();
        while (!entries_.empty() && total > MaxBytes) {
            total -= entries_.back().index->Bytes();
            entries_.pop_back();
        }
        // Read after the stat: what is read is never older than the identity kept.
        std::string bytes;
        if (ReadWholeFile(path, bytes, MaxTextFileBytes) != FileReadStatus::Ok) return nullptr;
        auto index = std::make_shared<const ProfileIndex>(std::move(bytes));
        if (!Settled(identity, now)) return index;
        entries_.insert(entries_.begin(), Entry{path, identity, index});
        // The newest file stays whatever its size; older ones go past the budget.
        total = 0;
        for (size_t i = 0; i < entries_.size(); ++i) {
            total += entries_[i].index->Bytes();
            if (i > 0 && (i >= MaxFiles || total > MaxBytes)) {
                entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i), entries_.end());
                break;
            }
        }
        return index;
    }

    void Forget(const std::string& path) {
        std::erase_if(entries_, [&](const Entry& e) { return e.path == path; });
    }

    void ForgetAll() { entries_ = {}; }

private:
    static constexpr size_t MaxFiles = 4;
    static constexpr size_t MaxBytes = 16u << 20;

    struct Entry {
        std::string path;
        FileIdentity identity;
        std::shared_ptr<const ProfileIndex> index;
    };

    std::vector<Entry> entries_;  // most recently used first
};

ProfileCache& Cache() {
    static ProfileCache cache;
    return cache;
}

}  // namespace

std::shared_ptr<const ProfileIndex> ReadProfile(const std::string& path) { return Cache().Get(path); }

std::optional<std::string_view> FindValue(const ProfileIndex& index, std::string_view section, std::string_view key) {
    return index.Value(section, key);
}

void ForgetProfile(const std::string& path) { Cache().Forget(path); }

void ForgetAllProfiles() { Cache().ForgetAll(); }

}  // namespace dexlora::profile_detail
