// KeyConf.txt: any file leaves every choice valid, and what is saved reads
// back as the same choices.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/keyconf_file.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/fuzz_tables.h"
#include "platform/core/files.h"
#include "settings/shared.h"

using namespace dexlora;

namespace {

std::vector<int32_t> Choices() {
    std::vector<int32_t> choices;
    for (const RomeEntries* table : {&RomeTable, &Rome2Table}) {
        for (int32_t i = 0; i < RomeEntryCount(*table); ++i) choices.push_back((*table)[static_cast<size_t>(i)].Selected);
    }
    return choices;
}

void ResetChoices() {
    for (RomeEntries* table : {&RomeTable, &Rome2Table}) {
        for (RomeEntry& entry : *table) entry.Selected = 0;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    fuzz::LoadBundledTables();
    auto& scratch = fuzz::ScratchFolder::Get();
    ResetChoices();
    SystemPath = scratch.Path();
    scratch.Write("KeyConf.txt", input);

    LoadKeyConf("KeyConf.txt");
    for (const RomeEntries* table : {&RomeTable, &Rome2Table}) {
        for (int32_t i = 0; i < RomeEntryCount(*table); ++i) {
            const RomeEntry& entry = (*table)[static_cast<size_t>(i)];
            FUZZ_CHECK(entry.Selected == 0 || (entry.Selected > 0 && entry.Selected < entry.Count),
                       "entry " + std::to_string(i) + " selects " + std::to_string(entry.Selected));
        }
    }

    const std::vector<int32_t> loaded = Choices();
    FUZZ_CHECK(SaveKeyConf("KeyConf.txt"), "save");
    std::string saved;
    FUZZ_CHECK(ReadWholeFile(scratch.Path() + "KeyConf.txt", saved) == FileReadStatus::Ok, "read back");
    size_t lines = 0;
    for (size_t at = saved.find("\r\n"); at != std::string::npos; at = saved.find("\r\n", at + 2)) ++lines;
    FUZZ_CHECK(lines == loaded.size() && saved.size() >= 2 && saved.substr(saved.size() - 2) == "\r\n",
               "saved " + std::to_string(lines) + " lines for " + std::to_string(loaded.size()) + " entries");

    ResetChoices();
    FUZZ_CHECK(LoadKeyConf("KeyConf.txt"), "a saved file must read completely");
    FUZZ_CHECK(Choices() == loaded, "save and reload changed the choices");
    SystemPath = std::string(DEXLORA_SOURCE_DIR) + "/system/";
    return 0;
}
