// The romaji tables: Rome.ini and Rome2.ini as a player's system folder may
// hold them, their lookup texts, the hashed lookups against the plain ones,
// and the conversion of readings made of their kana.
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/reading_to_romaji.h"
#include "engine/rome_table.h"
#include "fuzz/fuzz_support.h"
#include "platform/core/encoding.h"
#include "settings/shared.h"

using namespace dexlora;
using dexlora::fuzz::Escaped;

namespace {

// The input holds Rome.ini, then this line, then Rome2.ini.
constexpr std::string_view Separator = "\r\n--Rome2.ini--\r\n";

void CheckTable(const RomeEntries& table, std::string_view name) {
    FUZZ_CHECK(table.size() >= 2, std::string(name));
    for (size_t i = 0; i < table.size(); ++i) {
        const RomeEntry& entry = table[i];
        FUZZ_CHECK(entry.Count >= 0 && entry.Romaji.size() == static_cast<size_t>(entry.Count) + 1 &&
                       entry.Romaji.back().empty(),
                   std::string(name) + " entry " + std::to_string(i) + " count " + std::to_string(entry.Count));
    }
    for (size_t i = table.size() - 2; i < table.size(); ++i) {
        FUZZ_CHECK(table[i].Count == 0 && table[i].Kana.empty(), std::string(name) + " spare entry not empty");
    }
}

void CheckLookups(char32_t first, char32_t second) {
    const RomeLookup& lookup = RomeLookup::Current();
    FUZZ_CHECK(lookup.Single(first) == FindRomeEntry(first),
               "single " + std::to_string(first) + ": hashed " + std::to_string(lookup.Single(first)) + ", plain " +
                   std::to_string(FindRomeEntry(first)));
    FUZZ_CHECK(lookup.Pair(first, second) == FindRome2Entry(first, second),
               "pair " + std::to_string(first) + "," + std::to_string(second));
    int32_t single = FindRomeEntry(first);
    FUZZ_CHECK(single < RomeEntryCount(RomeTable), "single lookup past the table");
    int32_t pair = FindRome2Entry(first, second);
    FUZZ_CHECK(pair < RomeEntryCount(Rome2Table), "pair lookup past the table");
}

void CheckReading(const std::u32string& reading) {
    std::string romaji = "stale";
    std::string reason;
    const std::string text = U32ToUtf8(reading);
    if (ReadingToRomaji(romaji, text, &reason)) {
        FUZZ_CHECK(!romaji.empty(), "\"" + Escaped(text) + "\" converts to empty romaji");
    } else {
        FUZZ_CHECK(romaji.empty() && !reason.empty(), "\"" + Escaped(text) + "\" failed without a reason");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find(Separator);
    const std::string_view rome = input.substr(0, split);
    const std::string_view rome2 = split == std::string_view::npos ? std::string_view() : input.substr(split + Separator.size());

    auto& scratch = fuzz::ScratchFolder::Get();
    SystemPath = scratch.Path();
    scratch.Write("Rome.ini", rome);
    scratch.Write("Rome2.ini", rome2);
    LoadRomeTable(RomeTable, "Rome.ini");
    LoadRomeTable(Rome2Table, "Rome2.ini");
    CheckTable(RomeTable, "Rome.ini");
    CheckTable(Rome2Table, "Rome2.ini");

    FUZZ_CHECK(BuildRomeIndex(RomeIndex, RomeTable, 1), "BuildRomeIndex");
    FUZZ_CHECK(BuildRomeIndex(Rome2Index, Rome2Table, 2), "BuildRomeIndex");

    // Every character either index holds, paired with its neighbour and with
    // a few common kana, answers the same both ways.
    std::u32string probes = U"あかきゃっんー ";
    probes += RomeIndex.substr(0, 64);
    probes += Rome2Index.substr(0, 64);
    for (size_t i = 0; i < probes.size(); ++i) {
        CheckLookups(probes[i], i + 1 < probes.size() ? probes[i + 1] : U'ゃ');
        CheckLookups(probes[i], U'ゃ');
    }
    for (size_t i = 0; i + 1 < Rome2Index.size() && i < 128; i += 2) {
        CheckLookups(Rome2Index[i], Rome2Index[i + 1]);
        FUZZ_CHECK(FindRome2Entry(Rome2Index[i], Rome2Index[i + 1]) <= static_cast<int32_t>(i / 2), "pair slot");
    }

    // Readings of one table kana each, and of the tables' kana in a row.
    for (size_t i = 0; i < RomeIndex.size() && i < 32; ++i) CheckReading(RomeIndex.substr(i, 1));
    for (size_t i = 0; i + 1 < Rome2Index.size() && i < 64; i += 2) CheckReading(Rome2Index.substr(i, 2));
    CheckReading(probes);
    return 0;
}
