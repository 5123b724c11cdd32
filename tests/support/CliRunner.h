#pragma once

#include <string>
#include <vector>

#include "support/TempDir.h"

namespace qinglan::test {

struct CliOutput {
  int exitCode = -1;
  std::vector<std::string> lines;  // standard output
  std::string errors;              // standard error
};

// Runs the built qinglan-cli with the arguments, each quoted for the shell; standard error goes
// to a file in the scratch folder.
CliOutput runQinglanCli(const TempDir& scratch, const std::vector<std::string>& arguments);

}  // namespace qinglan::test
