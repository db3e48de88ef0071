// talvorine-lan: a LAN sharing peer for the terminal. See --help.
#include <cstdio>
#include <string>
#include <vector>

#include "commands.h"
#include "options.h"

int main(int argc, char** argv) {
  using talvorine::tools::Command;
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const talvorine::tools::ParseResult parsed = talvorine::tools::ParseOptions(arguments);
  if (!parsed.help.empty()) {
    std::fputs(parsed.help.c_str(), stdout);
    return 0;
  }
  if (!parsed.options) {
    std::fprintf(stderr, "talvorine-lan: %s\n", parsed.error.c_str());
    return 2;
  }
  switch (parsed.options->command) {
    case Command::kListen:
      return talvorine::tools::RunListen(*parsed.options);
    case Command::kSendText:
      return talvorine::tools::RunSendText(*parsed.options);
    case Command::kSendFile:
      return talvorine::tools::RunSendFile(*parsed.options);
  }
  return 2;
}
