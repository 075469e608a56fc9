// The skin authors' checker: one line per question, reasons, exit status.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>

#include "tests/platform_core/temp_folder.h"
#include "tests/typing/typing_support.h"

namespace dexlora {
namespace {

using testing_support::Cp932Lines;
using testing_support::TempFolder;

struct CheckerRun {
    std::string out;
    int status;
};

CheckerRun RunChecker(const std::string& arguments) {
    std::string command = std::string(DEXLORA_CHECK) + " " + arguments + " 2>/dev/null";
    CheckerRun run{"", -1};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, got);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(DexloraCheck, ListsEveryQuestionAndWhyOneIsLeftOut) {
    TempFolder folder;
    const std::string system = testing_support::SourceSystemFolder;
    struct Case {
        const char* name;
        std::string file;
        std::string out;
        int status;
    };
    const Case cases[] = {
        {"spelled and dropped questions",
         Cp932Lines({"桜", "さくら", "", "空", "", "", "漢", "かなＡ", "", "切手", "きって", ""}),
         "さくら\tSAKURA\n"
         "\t!empty reading\n"
         "かなＡ\t!no spelling for \"Ａ\" (U+FF21) at character 3\n"
         "きって\tKITTE\n",
         0},
        {"nothing can be typed", Cp932Lines({"漢", "漢", ""}),
         "漢\t!no spelling for \"漢\" (U+6F22) at character 1\n", 1},
        {"cut short",
         Cp932Lines({"桜", "さくら", "", "木", "き"}),
         "さくら\tSAKURA\n"
         "!the file ends inside the question that starts at line 4 "
         "(each question takes three lines: text, reading, separator)\n",
         1},
    };
    for (const Case& c : cases) {
        std::string typeTxt = folder.Write("type.txt", c.file);
        CheckerRun run = RunChecker(system + " " + typeTxt);
        EXPECT_EQ(run.out, c.out) << c.name;
        EXPECT_EQ(run.status, c.status) << c.name;
    }

    // KeyConf.txt in the system folder is applied: し as SHI.
    TempFolder other;
    other.Write("Rome.ini", TempFolder::Read(system + "Rome.ini"));
    other.Write("Rome2.ini", TempFolder::Read(system + "Rome2.ini"));
    std::string keyConf;
    for (int entry = 0; entry < 21; ++entry) keyConf += "0\r\n";
    other.Write("KeyConf.txt", keyConf + "1\r\n");  // entry 21 is し; the rest keep their first spelling
    std::string typeTxt = folder.Write("type.txt", Cp932Lines({"塩", "しお", ""}));
    EXPECT_EQ(RunChecker(other.Path() + " " + typeTxt).out, "しお\tSHIO\n");
}

TEST(DexloraCheck, UsageAndMissingFilesExitWithTwo) {
    TempFolder folder;
    std::string typeTxt = folder.Write("type.txt", Cp932Lines({"木", "き", ""}));
    const std::string system = testing_support::SourceSystemFolder;
    struct Case {
        const char* name;
        std::string arguments;
    };
    const Case cases[] = {
        {"no arguments", ""},
        {"one argument", system},
        {"three arguments", system + " " + typeTxt + " extra"},
        {"missing type.txt", system + " " + folder.Path() + "none.txt"},
        {"system folder without tables", folder.Path() + " " + typeTxt},
    };
    for (const Case& c : cases) {
        CheckerRun run = RunChecker(c.arguments);
        EXPECT_EQ(run.status, 2) << c.name;
        EXPECT_EQ(run.out, "") << c.name;
    }
}

}  // namespace
}  // namespace dexlora
