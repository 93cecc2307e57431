#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kavelune::posix {

// Runs a program (argv[0] a path, or a name looked up in PATH) with these arguments, no shell
// in between, and collects what it prints on standard output and standard error. Blocks until
// it ends. Returns its exit status, or -1 when it could not be started or did not exit normally.
int runCollectingOutput(const std::vector<std::string>& commandLine, std::string& printed);

// The same, collecting only its standard output, at most `maxBytes` of it: a program that prints
// more is ended and counts as failed (-1). Its standard input and error are /dev/null.
int runCollectingStandardOutput(const std::vector<std::string>& commandLine, std::size_t maxBytes,
                                std::string& printed);

// The same, with the program's output going where ours goes.
int runAndWait(const std::vector<std::string>& commandLine);

}  // namespace kavelune::posix
