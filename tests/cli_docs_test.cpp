// The manual page and the bash completion against the program's own option
// sets: an option added to a command and left out of either fails here.
#include "cli/OptionTable.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

using namespace tonvik;

namespace {

std::string Slurp(const char* path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The page as its reader sees the names: roff's "\-" is a plain minus.
std::string ManualPage() {
    return std::regex_replace(Slurp(TONVIK_MAN_PAGE), std::regex(R"(\\-)"), "-");
}

bool HasWord(const std::string& text, const std::string& word) {
    return std::regex_search(text, std::regex("(^|[\\s,\"(\\[|])" + word + "($|[\\s,.\")=\\]|])"));
}

// The text under ".SS heading", up to the next heading.
std::string Subsection(const std::string& page, const std::string& heading) {
    std::smatch m;
    const std::regex start("\n\\.SS \"?" + heading + "\"?\n");
    if (!std::regex_search(page, m, start))
        return "";
    const std::string rest = m.suffix();
    return rest.substr(0, std::min(rest.find("\n.SS"), rest.find("\n.SH")));
}

// The heading lines of the OPTIONS section: the line after each .TP.
std::vector<std::string> OptionHeadings(const std::string& page) {
    const std::string options = page.substr(page.find("\n.SH OPTIONS"));
    const std::string section = options.substr(0, options.find("\n.SH", 1));
    std::vector<std::string> headings;
    std::istringstream lines(section);
    for (std::string line; std::getline(lines, line);) {
        if (line == ".TP" && std::getline(lines, line))
            headings.push_back(line);
    }
    return headings;
}

std::set<std::string> NamesOf(const CommandDef& command) {
    std::set<std::string> names;
    for (const std::string& name : command.Options) {
        names.insert(name);
        if (const std::string& alias = FindOption(name)->Alias; !alias.empty())
            names.insert(alias);
    }
    return names;
}

std::set<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

// Runs a shell command; its standard output, and its exit status in status.
std::string Shell(const std::string& command, int& status) {
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    for (size_t n; pipe != nullptr && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    status = pipe != nullptr ? ::pclose(pipe) : -1;
    return out;
}

const char* const BashCompletion = "/usr/share/bash-completion/bash_completion";

// What bash completion offers for the line, the cursor at its end.
std::set<std::string> Completions(const std::string& line) {
    const std::string script = std::string("source ") + BashCompletion + "; source " +
                               TONVIK_COMPLETION + R"(; COMP_LINE="$1"; COMP_POINT=${#COMP_LINE};
        read -ra COMP_WORDS <<< "$COMP_LINE"; [[ $COMP_LINE == *" " ]] && COMP_WORDS+=("");
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1));
        _tonvik tonvik "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"; printf '%s\n' "${COMPREPLY[@]}")";
    int status = 0;
    const std::string out = Shell(
        "bash -c '" + std::regex_replace(script, std::regex("'"), "'\\''") + "' _ '" + line + "'",
        status);
    return Words(out);
}

} // namespace

TEST(ManualPage, EveryCommandsSubsectionNamesItsOptions) {
    const std::string page = ManualPage();
    for (const CommandDef& command : CommandTable()) {
        const std::string section = Subsection(page, CommandLineName(command));
        ASSERT_NE(section, "") << "no .SS for " << CommandLineName(command);
        for (const std::string& name : NamesOf(command))
            EXPECT_TRUE(HasWord(section, name)) << CommandLineName(command) << ": " << name;
    }
}

TEST(ManualPage, EveryOptionHasItsEntryWithItsValues) {
    const std::vector<std::string> headings = OptionHeadings(ManualPage());
    for (const CommandDef& command : CommandTable()) {
        for (const std::string& name : command.Options) {
            const OptionDef& option = *FindOption(name);
            const auto entry = std::find_if(headings.begin(), headings.end(),
                                            [&](auto& h) { return HasWord(h, option.Name); });
            ASSERT_NE(entry, headings.end()) << "no .TP entry for " << option.Name;
            if (!option.Alias.empty()) {
                EXPECT_TRUE(HasWord(*entry, option.Alias)) << *entry;
            }
            for (const std::string& choice : option.Choices)
                EXPECT_TRUE(HasWord(*entry, choice)) << *entry << " lacks " << choice;
        }
    }
}

TEST(ManualPage, StatesEveryExitStatus) {
    const std::string page = ManualPage();
    const std::string section = page.substr(std::min(page.find("\n.SH EXIT STATUS"), page.size()));
    for (const char* status : {"\n.B 0\n", "\n.B 1\n", "\n.B 2\n", "\n.B 130\n"})
        EXPECT_NE(section.find(status), std::string::npos) << status;
}

TEST(ManualPage, RendersWithoutWarnings) {
    int status = 0;
    Shell("command -v groff >/dev/null", status);
    if (status != 0)
        GTEST_SKIP() << "groff is not installed";
    const std::string page = TONVIK_MAN_PAGE;
    EXPECT_EQ(Shell("groff -ww -man -k -Tutf8 -z " + page + " 2>&1", status), "");
    EXPECT_EQ(status, 0);
    Shell("command -v man >/dev/null", status);
    if (status != 0)
        GTEST_SKIP() << "man is not installed";
    EXPECT_EQ(Shell("man --warnings -E UTF-8 -l " + page + " 2>&1 >/dev/null", status), "");
    EXPECT_EQ(status, 0);
}

TEST(BashCompletion, ListsExactlyTheOptionsOfEachCommand) {
    const std::string script = Slurp(TONVIK_COMPLETION);
    std::map<std::string, std::set<std::string>> listed;
    const std::regex entry(R"((\w+|'')\) echo "([^"]*)\")");
    for (auto it = std::sregex_iterator(script.begin(), script.end(), entry);
         it != std::sregex_iterator(); ++it)
        listed[(*it)[1] == "''" ? "" : std::string((*it)[1])] = Words((*it)[2]);
    for (const CommandDef& command : CommandTable())
        EXPECT_EQ(listed[command.Word], NamesOf(command)) << "tonvik " << command.Word;
}

TEST(BashCompletion, OffersTheValuesOfEveryChoice) {
    const std::string script = Slurp(TONVIK_COMPLETION);
    for (const OptionDef& option : OptionCatalogue()) {
        if (option.Choices.empty())
            continue;
        std::smatch m;
        ASSERT_TRUE(std::regex_search(
            script, m,
            std::regex("\n\\s*" + option.Name + R"re(\) COMPREPLY=\(\$\(compgen -W "([^"]*)")re")))
            << option.Name;
        EXPECT_EQ(Words(m[1]), std::set<std::string>(option.Choices.begin(), option.Choices.end()));
    }
}

TEST(BashCompletion, AnswersThroughBash) {
    if (!std::filesystem::exists(BashCompletion))
        GTEST_SKIP() << "bash-completion is not installed (" << BashCompletion << ")";
    using Set = std::set<std::string>;
    EXPECT_EQ(Completions("tonvik export --fo"), Set{"--format"});
    EXPECT_EQ(Completions("tonvik export --format "), (Set{"wav", "flac", "ogg", "opus", "mp3"}));
    EXPECT_EQ(Completions("tonvik export --format=f"), (Set{"flac"}));
    EXPECT_EQ(Completions("tonvik radiogram --kind r"), Set{"russian"});
    EXPECT_EQ(Completions("tonvik play --mode "), (Set{"text", "callsign"}));
    EXPECT_EQ(Completions("tonvik ex"), Set{"export"});
    EXPECT_EQ(Completions("tonvik help ra"), Set{"radiogram"});
    EXPECT_EQ(Completions("tonvik play --o"), Set{}); // --output is export's
    EXPECT_EQ(Completions("tonvik --v"), Set{"--version"});
    EXPECT_EQ(Completions("tonvik calls "), (Set{"import", "reset"}));
    EXPECT_EQ(Completions("tonvik calls import --a"), Set{"--append"});
}
