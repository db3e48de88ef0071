#pragma once

#include <optional>
#include <string>
#include <vector>

namespace talvorine::tools {

enum class Command { kListen, kSendText, kSendFile };

// The command line, as typed (UTF-8).
struct Options {
  Command command = Command::kListen;
  std::string argument;  // the text of send-text, the path of send-file
  int channel = 1;
  std::string to;          // empty: the broadcast address of the first non-loopback interface
  std::string save_dir;    // empty: ask on the terminal
  bool overwrite = false;  // a file of the same name in save_dir may be replaced
  std::string host_name;   // empty: the system's host name
};

struct ParseResult {
  std::optional<Options> options;
  std::string help;   // set when help was asked for: print it and succeed
  std::string error;  // set when the command line is wrong
};

ParseResult ParseOptions(const std::vector<std::string>& arguments);

}  // namespace talvorine::tools
