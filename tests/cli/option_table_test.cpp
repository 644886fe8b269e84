// The manual page and the bash completion, held to the option tables the parser and the usage
// text are made from: an option added to a table and forgotten in either fails here, and so
// does one that either still offers after it left the table.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "cli/convert_request.h"
#include "cli/option_table.h"
#include "cli/render_command.h"

namespace {

std::string ReadSourceFile(const std::string& strRelative) {
    std::ifstream in(std::string(QUOVEL_SOURCE_DIR) + "/" + strRelative);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The text from the line holding strStart up to (not including) the next line holding strEnd.
std::string Between(const std::string& strText, const std::string& strStart,
                    const std::string& strEnd) {
    const size_t nStart = strText.find(strStart);
    if (nStart == std::string::npos) {
        return "";
    }
    const size_t nEnd = strText.find(strEnd, nStart + strStart.size());
    return strText.substr(nStart, nEnd == std::string::npos ? std::string::npos : nEnd - nStart);
}

std::set<std::string> OptionWords(const std::string& strText) {
    static const std::regex option(R"((?:^|[\s"|])(--[a-z][a-z-]*))");
    std::set<std::string> words;
    for (auto it = std::sregex_iterator(strText.begin(), strText.end(), option);
         it != std::sregex_iterator(); ++it) {
        words.insert((*it)[1]);
    }
    return words;
}

template <class Request>
std::set<std::string> NamesOf(std::span<const cli::OptionDef<Request>> table) {
    std::set<std::string> names;
    for (const auto& option : table) {
        names.insert(option.pszName);
    }
    return names;
}

// The options a manual section describes: the first option named in each term (.TP, .TQ);
// the rest of a term is its value.
std::set<std::string> ManualOptions(const std::string& strSection) {
    std::set<std::string> names;
    std::istringstream lines(strSection);
    bool bTerm = false;
    for (std::string strLine; std::getline(lines, strLine);) {
        const std::string strPlain = std::regex_replace(strLine, std::regex(R"(\\-)"), "-");
        std::smatch first;
        if (bTerm && std::regex_search(strPlain, first, std::regex(R"(--[a-z][a-z-]*)"))) {
            names.insert(first[0]);
        }
        bTerm = strLine == ".TP" || strLine == ".TQ";
    }
    return names;
}

// What the completion offers in one mode's branch: the option names after `*)`, and for each
// option with a case of its own, the words of that case ("" for a number: no file names).
struct Offered {
    std::set<std::string> options;
    std::map<std::string, std::string> values;
};

Offered CompletionOf(const std::string& strBranch) {
    Offered offered;
    const size_t nOthers = strBranch.find("*)");
    offered.options = OptionWords(strBranch.substr(nOthers));
    offered.options.erase("--help");
    static const std::regex valueCase(
        R"re(((?:--[a-z-]+\s*\|?\s*\\?\s*)+)\)\s*(?:words="([^"]*)")?)re");
    const std::string strCases = strBranch.substr(0, nOthers);
    for (auto it = std::sregex_iterator(strCases.begin(), strCases.end(), valueCase);
         it != std::sregex_iterator(); ++it) {
        for (const std::string& strName : OptionWords(" " + (*it)[1].str())) {
            offered.values[strName] = (*it)[2].matched ? (*it)[2].str() : "";
        }
    }
    return offered;
}

template <class Request>
void ExpectCompletionFollows(const Offered& offered,
                             std::span<const cli::OptionDef<Request>> table) {
    EXPECT_EQ(offered.options, NamesOf(table));
    for (const auto& option : table) {
        if (*option.pszArgument == '\0') {
            EXPECT_EQ(offered.values.count(option.pszName), 0U)
                << option.pszName << " takes no value";
            continue;
        }
        ASSERT_EQ(offered.values.count(option.pszName), 1U)
            << option.pszName << " takes a value: the completion must say which, or none";
        EXPECT_EQ(offered.values.at(option.pszName), option.pszWords) << option.pszName;
    }
}

TEST(OptionTables, TheManualPageDescribesEveryOptionAndNoOther) {
    const std::string strManual = ReadSourceFile("packaging/quovel.1");
    ASSERT_FALSE(strManual.empty());
    EXPECT_EQ(ManualOptions(Between(strManual, ".SH CONVERSION OPTIONS", ".SH ")),
              NamesOf(cli::ConvertOptions()));
    EXPECT_EQ(ManualOptions(Between(strManual, ".SH RENDER OPTIONS", ".SH ")),
              NamesOf(cli::RenderOptions()));
}

TEST(OptionTables, TheCompletionOffersEveryOptionAndTheValuesEachTakes) {
    const std::string strCompletion = ReadSourceFile("packaging/quovel.bash-completion");
    ASSERT_FALSE(strCompletion.empty());
    ExpectCompletionFollows(CompletionOf(Between(strCompletion, "--convert)", "--render)")),
                            cli::ConvertOptions());
    ExpectCompletionFollows(CompletionOf(Between(strCompletion, "--render)", "--list-codecs)")),
                            cli::RenderOptions());
}

TEST(OptionTables, TheUsageListsEveryOptionWithItsRange) {
    for (const std::string& strUsage : {cli::ConvertUsage(), cli::RenderUsage()}) {
        EXPECT_NE(strUsage.find("--mode M"), std::string::npos);
    }
    const std::string strUsage = cli::ConvertUsage();
    for (const auto& option : cli::ConvertOptions()) {
        EXPECT_NE(strUsage.find(std::string("\n  ") + option.pszName), std::string::npos)
            << option.pszName;
    }
    EXPECT_NE(strUsage.find("MP3's bit rate (default 192), 32..320"), std::string::npos);
}

}  // namespace
