// KeyConf.txt: any file leaves every choice one of its entry's spellings, and
// what is saved reads back as the same choices.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/keyconf_file.h"
#include "fuzz/fuzz_support.h"
#include "settings/shared.h"

using namespace dexlora;

namespace {

// The choices of both tables, each checked; reset afterwards when asked.
std::vector<int32_t> Choices(bool reset) {
    std::vector<int32_t> choices;
    for (RomeEntries* table : {&RomeTable, &Rome2Table})
        for (int32_t i = 0; i < RomeEntryCount(*table); ++i) {
            RomeEntry& entry = (*table)[static_cast<size_t>(i)];
            FUZZ_CHECK(entry.Selected == 0 || (entry.Selected > 0 && entry.Selected < entry.Count),
                       "entry " + std::to_string(i) + " selects " + std::to_string(entry.Selected));
            choices.push_back(entry.Selected);
            if (reset) entry.Selected = 0;
        }
    return choices;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::LoadBundledTables();
    Choices(true);
    SystemPath = fuzz::Scratch();
    fuzz::WriteScratch("KeyConf.txt", {reinterpret_cast<const char*>(data), size});
    LoadKeyConf("KeyConf.txt");
    const std::vector<int32_t> loaded = Choices(false);
    FUZZ_CHECK(SaveKeyConf("KeyConf.txt"), "save");
    Choices(true);
    FUZZ_CHECK(LoadKeyConf("KeyConf.txt") && Choices(false) == loaded, "a save and reload changed the choices");
    return 0;
}
