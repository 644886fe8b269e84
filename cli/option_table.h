#pragma once
// A command's options as one table, in the style of fftools' OptionDef: the parser and the
// usage text come from it, and tests hold the manual page and the bash completion to it.
// Adding an option is adding a row (ARCHITECTURE.md, "Adding a command-line option").
#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "resources/command_line_texts.h"
#include "resources/text_format.h"

namespace cli {

template <class Request>
struct OptionDef {
    const char* pszName;  // "--quality"
    const char*
        pszArgument;      // its values as the usage names them ("Q", "START END"); "" for a switch
    const char* pszHelp;  // the usage's explanation; '\n' starts another line
    // A whole number within [nMin, nMax], given to setNumber; any other option is read by
    // parse, which answers "" or what is wrong with its values.
    int32_t nMin = 0;
    int32_t nMax = 0;
    void (*setNumber)(Request&, int32_t) = nullptr;
    std::string (*parse)(Request&, const std::vector<std::string>& values) = nullptr;
    const char* pszWords = "";  // the values it takes, as the completion offers them
};

// How many words follow the option: one per word of its argument's name.
template <class Request>
size_t ValueCount(const OptionDef<Request>& option) {
    const std::string strArgument = option.pszArgument;
    if (strArgument.empty()) {
        return 0;
    }
    return 1 + static_cast<size_t>(std::count(strArgument.begin(), strArgument.end(), ' '));
}

// Reads args into request through the table; the words that are not options go to
// positional. "" when all is good, else what is wrong (the first thing).
template <class Request>
std::string ParseOptions(std::span<const OptionDef<Request>> table,
                         const std::vector<std::string>& args, Request& request,
                         std::vector<std::string>& positional) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& strArg = args[i];
        if (strArg.size() < 2 || strArg.compare(0, 2, "--") != 0) {
            positional.push_back(strArg);
            continue;
        }
        const auto option = std::find_if(table.begin(), table.end(),
                                         [&](const auto& row) { return strArg == row.pszName; });
        if (option == table.end()) {
            return str::Format(str::kCliUnknownOption, strArg.c_str());
        }
        const size_t nValues = ValueCount(*option);
        if (nValues > 0 && i + nValues >= args.size()) {
            return str::Format(nValues == 2 ? str::kCliNeedsTwo : str::kCliNeedsValue,
                               strArg.c_str());
        }
        const std::vector<std::string> values(
            args.begin() + static_cast<std::ptrdiff_t>(i + 1),
            args.begin() + static_cast<std::ptrdiff_t>(i + 1 + nValues));
        i += nValues;
        if (option->setNumber != nullptr) {
            const auto n = ParseInt(values[0], option->nMin, option->nMax);
            if (!n) {
                return str::Format(str::kCliNotInRange, strArg.c_str(), values[0].c_str(),
                                   option->nMin, option->nMax);
            }
            option->setNumber(request, *n);
        } else if (std::string strError = option->parse(request, values); !strError.empty()) {
            return strError;
        }
    }
    return "";
}

// "[--codec FOURCC] [--quality Q] …" after strLead, wrapped under its first option.
template <class Request>
std::string UsageSynopsis(const std::string& strLead, std::span<const OptionDef<Request>> table) {
    const size_t nIndent = strLead.size() + 1;
    std::string strText = strLead;
    size_t nColumn = strLead.size();
    for (const auto& option : table) {
        std::string strWord = std::string("[") + option.pszName;
        strWord += *option.pszArgument != '\0' ? std::string(" ") + option.pszArgument + "]" : "]";
        if (nColumn + 1 + strWord.size() > 90) {
            strText += "\n" + std::string(nIndent, ' ');
            nColumn = nIndent - 1;
        }
        strText += " " + strWord;
        nColumn += 1 + strWord.size();
    }
    return strText + "\n";
}

// A number option's range that the usage leaves out, as "0 or more" says it.
inline constexpr int32_t kNoUpperBound = INT32_MAX;

// One entry per option: "  --name ARG" and its help, lined up at column 21; a number's
// range follows its help.
template <class Request>
std::string UsageOptions(std::span<const OptionDef<Request>> table) {
    std::string strText;
    for (const auto& option : table) {
        std::string strHead = std::string("  ") + option.pszName;
        if (*option.pszArgument != '\0') {
            strHead += std::string(" ") + option.pszArgument;
        }
        strText += strHead.size() < 19 ? strHead + std::string(20 - strHead.size(), ' ')
                                       : strHead + "\n" + std::string(20, ' ');
        for (const char* p = option.pszHelp; *p != '\0'; ++p) {
            strText += *p;
            if (*p == '\n') {
                strText += std::string(20, ' ');
            }
        }
        if (option.setNumber != nullptr && option.nMax < kNoUpperBound) {
            strText += ", " + std::to_string(option.nMin) + ".." + std::to_string(option.nMax);
        }
        strText += "\n";
    }
    return strText;
}

}  // namespace cli
