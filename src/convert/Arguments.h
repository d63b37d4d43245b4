// The converter's command line: its options, its two paths, and what is
// wrong with it.
#pragma once

#include <string>
#include <vector>

#include "files/DeckExchange.h"

namespace rvm {

extern const char* const kConvertHelp;

struct ParsedArguments {
    bool help = false;        // -h or --help: show kConvertHelp and nothing else
    std::string usageError;   // when not empty, the line that says what is wrong
    ConvertOptions options;   // from, to and the names for messages filled in
    std::string input, output;  // paths; "-" for standard input and output
};

ParsedArguments ParseArguments(const std::vector<std::string>& args);

}  // namespace rvm
