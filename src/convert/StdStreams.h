// Standard input and output as raw bytes, one backend file per platform.
#pragma once

#include <string>
#include <vector>

namespace rvm {

bool ReadStandardInput(std::string& bytes, std::string& error);
bool WriteStandardOutput(const std::string& bytes, std::string& error);

// The arguments after the program name, in UTF-8 like every path in the core.
std::vector<std::string> Arguments(int argc, char** argv);

}  // namespace rvm
