// Rome.ini and Rome2.ini as a player's system folder may hold them: entry
// counts match their spellings, the hashed lookups answer as the plain ones,
// and a reading of their kana converts to romaji or fails with a reason, and
// flexible romaji finishes it by its own guide.
// The input holds Rome.ini, then a line "--Rome2.ini--", then Rome2.ini.
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/flexible_romaji.h"
#include "engine/reading_to_romaji.h"
#include "engine/rome_table.h"
#include "fuzz/fuzz_support.h"
#include "platform/core/encoding.h"
#include "settings/shared.h"

using namespace dexlora;
using dexlora::fuzz::Escaped;

namespace {

// The plain answer the hashed lookup must give: the first slot of index
// (width characters each) holding kana, among the table's entries, or -1.
int32_t PlainSlot(const std::u32string& index, size_t width, std::u32string_view kana, const RomeEntries& table) {
    if (kana.find(UnmatchableSlot) != std::u32string_view::npos) return -1;
    for (size_t slot = 0; (slot + 1) * width <= index.size() && slot < size_t(RomeEntryCount(table)); ++slot)
        if (index.compare(slot * width, width, kana) == 0) return int32_t(slot);
    return -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr std::string_view Separator = "\r\n--Rome2.ini--\r\n";
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find(Separator);
    SystemPath = fuzz::Scratch();
    fuzz::WriteScratch("Rome.ini", input.substr(0, split));
    fuzz::WriteScratch("Rome2.ini", split == std::string_view::npos ? "" : input.substr(split + Separator.size()));
    LoadRomeTable(RomeTable, "Rome.ini");
    LoadRomeTable(Rome2Table, "Rome2.ini");
    for (const RomeEntries* table : {&RomeTable, &Rome2Table}) {
        FUZZ_CHECK(table->size() >= 2 && table->back().Count == 0 && (*table)[table->size() - 2].Count == 0, "spares");
        for (const RomeEntry& entry : *table)
            FUZZ_CHECK(entry.Count >= 0 && entry.Romaji.size() == entry.Count + 1u && entry.Romaji.back().empty(),
                       Escaped(entry.Kana) + " count " + std::to_string(entry.Count));
    }
    FUZZ_CHECK(BuildRomeIndex(RomeIndex, RomeTable, 1) && BuildRomeIndex(Rome2Index, Rome2Table, 2), "BuildRomeIndex");

    // Every character either index holds, with its neighbour and with a small
    // kana, answers the same both ways.
    const std::u32string probes = U"あかきゃっんー " + RomeIndex.substr(0, 64) + Rome2Index.substr(0, 64);
    const RomeLookup& lookup = RomeLookup::Current();
    for (size_t i = 0; i < probes.size(); ++i)
        for (char32_t next : {i + 1 < probes.size() ? probes[i + 1] : U'ゃ', U'ゃ'}) {
            const char32_t pair[] = {probes[i], next};
            FUZZ_CHECK(lookup.Single(probes[i]) == PlainSlot(RomeIndex, 1, {pair, 1}, RomeTable) &&
                           lookup.Pair(probes[i], next) == PlainSlot(Rome2Index, 2, {pair, 2}, Rome2Table),
                       "lookups of " + Escaped(U32ToUtf8(std::u32string{probes[i], next})));
        }
    // Readings of one table kana each, of two, and of all the probes in a row:
    // romaji, or none and a reason.
    auto CheckReading = [](const std::u32string& reading) {
        std::string romaji = "stale", reason;
        const bool converted = ReadingToRomaji(romaji, U32ToUtf8(reading), &reason);
        FUZZ_CHECK(converted ? !romaji.empty() : romaji.empty() && !reason.empty(), Escaped(U32ToUtf8(reading)));
        // Flexible romaji finishes every reading the tables spell, by its own guide.
        FlexibleRomaji flexible(U32ToUtf8(reading));
        FUZZ_CHECK(flexible.Valid() == converted, Escaped(U32ToUtf8(reading)));
        for (const char key : std::string(flexible.Guide()))
            FUZZ_CHECK(flexible.Complete() || flexible.Key(char32_t(key)), Escaped(romaji));  // a shorter spelling may finish first
        FUZZ_CHECK(flexible.Complete() == converted, Escaped(U32ToUtf8(reading)) + " as " + Escaped(romaji));
    };
    for (size_t i = 0; i < RomeIndex.size() && i < 32; ++i) CheckReading(RomeIndex.substr(i, 1));
    for (size_t i = 0; i + 1 < Rome2Index.size() && i < 64; i += 2) CheckReading(Rome2Index.substr(i, 2));
    CheckReading(probes);
    return 0;
}
