// The bash completion script, run in bash on the words a user typed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "cli/CliCommand.h"
#include "cli/SettingEdits.h"
#include "support/RowName.h"
#include "support/TempDir.h"
#include "tests/cli/CliHarness.h"

namespace zorvik {
namespace {

using ::testing::Contains;
using ::testing::IsSupersetOf;
using ::testing::Not;

class CompletionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto r = test::RunCliForTest({"completion", "bash"});
        ASSERT_EQ(r.status, 0) << r.err;
        script = dir.File("zorvik-cli.bash");
        std::ofstream(script) << r.out;
        std::ofstream(dir.File("status.sts")) << "";
    }

    // What bash offers for the words after "zorvik-cli", the last being the word under
    // the cursor; each offer with the shell quoting taken off again.
    std::vector<std::string> Offers(std::vector<std::string> words)
    {
        std::string typed = "COMP_WORDS=(zorvik-cli";
        for (auto& word : words) {
            word = Placed(word);
            typed += " '" + word + "'";
        }
        typed += ")";
        const std::string program = dir.File("complete.sh");
        std::ofstream(program) << "source '" << script << "'\n"
                               << typed << "\nCOMP_CWORD=" << words.size() << "\n_zorvik_cli\n"
                               << "for w in \"${COMPREPLY[@]}\"; do eval \"printf '%s\\n' $w\"; done\n";
        std::vector<std::string> offers;
        FILE* bash = ::popen(("bash --norc --noprofile '" + program + "' 2>&1").c_str(), "r");
        if (!bash)
            return offers;
        std::string line;
        for (int c; (c = std::fgetc(bash)) != EOF;) {
            if (c == '\n') {
                offers.push_back(line);
                line.clear();
            } else {
                line += static_cast<char>(c);
            }
        }
        EXPECT_EQ(::pclose(bash), 0);
        return offers;
    }
    // "@DIR@" stands for the test's folder.
    std::string Placed(std::string text) const
    {
        if (const auto at = text.find("@DIR@"); at != std::string::npos)
            text.replace(at, 5, dir.Path().string());
        return text;
    }

    test::TempDir dir;
    std::string script;
};

// Every subcommand in the tool's own table, at every level, is offered where it may
// be typed; hidden ones are not.
TEST_F(CompletionTest, OffersEverySubcommandOfTheToolsTable)
{
    CLI::App app;
    const auto commands = MakeCliCommands();
    for (const auto& command : commands)
        command->Add(app);
    std::vector<std::pair<std::vector<std::string>, CLI::App*>> levels{{{}, &app}};
    std::size_t shown = 0;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        auto [words, level] = levels[i];
        words.push_back("");
        const auto offers = Offers(words);
        for (CLI::App* sub : level->get_subcommands([](CLI::App*) { return true; })) {
            if (sub->get_group().empty()) {
                EXPECT_THAT(offers, Not(Contains(sub->get_name())));
                continue;
            }
            ++shown;
            EXPECT_THAT(offers, Contains(sub->get_name())) << ::testing::PrintToString(words);
            auto below = levels[i].first;
            below.push_back(sub->get_name());
            levels.emplace_back(below, sub);
        }
    }
    EXPECT_GE(shown, 12u);
}

struct CompletionRow {
    const char* name;
    std::vector<std::string> words;
    std::vector<std::string> offers;  // among what is offered
    std::vector<std::string> never;
    const char* list = nullptr;  // every entry of this "Printer Setting" list is offered
};

const CompletionRow kCompletionRows[] = {
    {"RootOptions", {"--"}, {"--help", "--version", "--queue"}, {"--port"}},
    {"OptionsOfGet",
     {"get", "-"},
     {"-p", "--port", "--targets", "--jobs", "--baud", "--tcp-port", "--trace", "--json", "--save"},
     {"--code-page", "--version"}},
    {"OptionsOfSet",
     {"set", "--"},
     {"--from", "--pin", "--code-page", "--double-font", "--single-font", "--emulation", "--print-speed",
      "--power-save", "--entrance-time", "--rollback", "--dry-run", "--list", "--json", "--state"},
     {"--watch"}},
    {"OptionPrefix", {"set", "--d"}, {"--double-font", "--data-bits", "--dry-run"}, {"--code-page"}},
    {"StsSubcommands", {"sts", ""}, {"show", "json", "diff"}, {"get"}},
    {"SubcommandPrefix", {"print-"}, {"print-status", "print-codepage"}, {"ports", "selftest"}},
    {"Baud", {"check", "--baud", ""}, {"2400", "9600", "115200"}, {}},
    {"BaudPrefix", {"check", "--baud", "1"}, {"19200", "115200"}, {"9600"}},
    {"Parity", {"get", "--parity", ""}, {"none", "odd", "even", "mark", "space"}, {}},
    {"StopBits", {"get", "--stop-bits", ""}, {"1", "1.5", "2"}, {}},
    {"Flow", {"set", "--flow", ""}, {"hardware", "xon", "none"}, {}},
    {"PowerSave", {"set", "--power-save", ""}, {"enable", "disable"}, {}},
    {"ValueAfterEquals", {"set", "--power-save", "="}, {"enable", "disable"}, {}},
    {"ValuePrefixAfterEquals", {"set", "--power-save", "=", "en"}, {"enable"}, {"disable"}},
    {"CodePage", {"set", "--code-page", ""}, {}, {}, "code-page"},
    {"DoubleFont", {"set", "--double-font", ""}, {}, {}, "double-font"},
    {"SingleFont", {"set", "--single-font", ""}, {}, {}, "single-font"},
    {"Emulation", {"set", "--emulation", ""}, {}, {}, "emulation"},
    {"PrintSpeed", {"set", "--print-speed", ""}, {}, {}, "print-speed"},
    {"EntryPrefixWithBlanks",
     {"set", "--code-page", "PC437\\ (U"},
     {"PC437 (USA: Standard Europe)"},
     {"PC850 (Multilingual)"}},
    {"EntryPrefixInQuotes", {"set", "--code-page", "\"PC85"}, {"PC850 (Multilingual)"}, {"Katakana"}},
    {"StatusFileArgument", {"sts", "show", "@DIR@/st"}, {"@DIR@/status.sts"}, {}},
    {"SaveFileOption", {"get", "--save", "@DIR@/st"}, {"@DIR@/status.sts"}, {}},
    {"HiddenCommandNotOffered", {""}, {"ports", "check"}, {"completion"}},
};

void PrintTo(const CompletionRow& row, std::ostream* os)
{
    *os << row.name;
}

class CompletionRowTest : public CompletionTest, public ::testing::WithParamInterface<CompletionRow> {};

TEST_P(CompletionRowTest, Offers)
{
    const CompletionRow& row = GetParam();
    const auto offers = Offers(row.words);
    std::vector<std::string> expected;
    for (const auto& offer : row.offers)
        expected.push_back(Placed(offer));
    if (row.list) {
        expected = ListItems(row.list);
        ASSERT_FALSE(expected.empty());
    }
    EXPECT_THAT(offers, IsSupersetOf(expected));
    for (const auto& never : row.never)
        EXPECT_THAT(offers, Not(Contains(never)));
}

INSTANTIATE_TEST_SUITE_P(Words, CompletionRowTest, ::testing::ValuesIn(kCompletionRows), test::RowName());

}  // namespace
}  // namespace zorvik
