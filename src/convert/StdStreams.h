// Standard input and output as raw bytes, one backend file per platform.
#pragma once

#include <string>

namespace rvm {

bool ReadStandardInput(std::string& bytes, std::string& error);
bool WriteStandardOutput(const std::string& bytes, std::string& error);

}  // namespace rvm
