#include "options.h"

#include <charconv>

namespace talvorine::tools {

namespace {

constexpr const char* kGeneralHelp =
    "usage: talvorine-lan COMMAND [OPTIONS]\n"
    "\n"
    "A LAN sharing peer: it speaks the datagrams of the Windows program (UDP port 5504 + channel)\n"
    "so it can receive its hand-overs and files and send its own.\n"
    "\n"
    "commands:\n"
    "  listen      print every text received, save or offer every file received\n"
    "  send-text   hand a text over to the LAN\n"
    "  send-file   send a file to the LAN\n"
    "\n"
    "Run 'talvorine-lan COMMAND --help' for the options of a command.\n";

constexpr const char* kListenHelp =
    "usage: talvorine-lan listen [--channel N] [--save-dir DIR [--overwrite]] [--host-name NAME]\n"
    "\n"
    "Listens on UDP port 5504 + N until interrupted. Output, one line per event:\n"
    "  listening on channel N, port P\n"
    "  received text: TEXT        (backslash, CR and LF written as \\\\, \\r, \\n, other\n"
    "                              control characters as \\xHH or \\u00HH)\n"
    "  saved file: PATH\n"
    "  not saved: PATH\n"
    "  own file sent              (the end of a transfer announced with our own host name)\n"
    "\n"
    "  --channel N       channel 1 to 50 (default 1)\n"
    "  --save-dir DIR    save every file received into DIR under the last part of the sender's\n"
    "                    path; a name that is taken gets .1, .2, ... appended; without it each\n"
    "                    file is offered on the terminal\n"
    "  --overwrite       with --save-dir: replace a regular file of the same name instead\n"
    "  --host-name NAME  the host name to recognise our own transfers by, instead of the\n"
    "                    system's (two peers on one machine share the system's name)\n";

constexpr const char* kSendTextHelp =
    "usage: talvorine-lan send-text TEXT [--channel N] [--to ADDRESS] [--host-name NAME]\n"
    "\n"
    "Sends TEXT (UTF-8, sent as cp932, cut to 1016 bytes) as one hand-over datagram.\n"
    "Prints 'sent text: TEXT' when it has gone out.\n"
    "\n"
    "  --channel N       channel 1 to 50 (default 1)\n"
    "  --to ADDRESS      dotted IPv4 destination (default: the broadcast address of the first\n"
    "                    non-loopback interface)\n"
    "  --host-name NAME  accepted for symmetry; a text carries no host name\n";

constexpr const char* kSendFileHelp =
    "usage: talvorine-lan send-file PATH [--channel N] [--to ADDRESS] [--host-name NAME]\n"
    "\n"
    "Sends the file as the Windows program does: a start, one chunk per 250 bytes every 20 ms\n"
    "(about 12.5 kB/s), an end. Prints 'sent file: PATH' when the end has gone out.\n"
    "\n"
    "  --channel N       channel 1 to 50 (default 1)\n"
    "  --to ADDRESS      dotted IPv4 destination (default: the broadcast address of the first\n"
    "                    non-loopback interface)\n"
    "  --host-name NAME  the host name announced with the file, instead of the system's\n";

const char* HelpOf(Command command) {
  switch (command) {
    case Command::kListen:
      return kListenHelp;
    case Command::kSendText:
      return kSendTextHelp;
    case Command::kSendFile:
      return kSendFileHelp;
  }
  return kGeneralHelp;
}

ParseResult Error(std::string message) {
  ParseResult result;
  result.error = std::move(message) + "\nRun 'talvorine-lan --help' for help.";
  return result;
}

}  // namespace

ParseResult ParseOptions(const std::vector<std::string>& arguments) {
  if (arguments.empty()) {
    return Error("no command given");
  }
  Options options;
  const std::string& name = arguments[0];
  if (name == "--help" || name == "-h" || name == "help") {
    ParseResult result;
    result.help = kGeneralHelp;
    return result;
  }
  if (name == "listen") {
    options.command = Command::kListen;
  } else if (name == "send-text") {
    options.command = Command::kSendText;
  } else if (name == "send-file") {
    options.command = Command::kSendFile;
  } else {
    return Error("unknown command: " + name);
  }

  bool have_argument = false;
  bool options_ended = false;  // after "--" every word is the argument (a text like "--x")
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    if (!options_ended && word == "--") {
      options_ended = true;
      continue;
    }
    if (options_ended) {
      if (options.command == Command::kListen || have_argument) {
        return Error("unexpected argument: " + word);
      }
      options.argument = word;
      have_argument = true;
      continue;
    }
    if (word == "--help" || word == "-h") {
      ParseResult result;
      result.help = HelpOf(options.command);
      return result;
    }
    if (word == "--overwrite") {
      if (options.command != Command::kListen) {
        return Error("--overwrite belongs to listen");
      }
      options.overwrite = true;
      continue;
    }
    const bool takes_value =
        word == "--channel" || word == "--to" || word == "--save-dir" || word == "--host-name";
    if (takes_value) {
      if (i + 1 >= arguments.size()) {
        return Error(word + " needs a value");
      }
      const std::string& value = arguments[++i];
      if (word == "--channel") {
        int channel = 0;
        const auto [end, error] =
            std::from_chars(value.data(), value.data() + value.size(), channel);
        if (error != std::errc() || end != value.data() + value.size() || channel < 1 ||
            channel > 50) {
          return Error("--channel takes a number from 1 to 50, not '" + value + "'");
        }
        options.channel = channel;
      } else if (word == "--to") {
        options.to = value;
      } else if (word == "--save-dir") {
        if (options.command != Command::kListen) {
          return Error("--save-dir belongs to listen");
        }
        options.save_dir = value;
      } else {
        // The name sits between colons in the datagrams; it can hold none itself.
        if (value.empty() || value.find(':') != std::string::npos) {
          return Error("--host-name takes a non-empty name without ':'");
        }
        options.host_name = value;
      }
      continue;
    }
    if (word.rfind("--", 0) == 0) {
      return Error("unknown option: " + word);
    }
    if (options.command == Command::kListen || have_argument) {
      return Error("unexpected argument: " + word);
    }
    options.argument = word;
    have_argument = true;
  }
  if (options.overwrite && options.save_dir.empty()) {
    return Error("--overwrite needs --save-dir");
  }
  if (options.command != Command::kListen && !have_argument) {
    return Error(options.command == Command::kSendText ? "send-text needs a TEXT"
                                                       : "send-file needs a PATH");
  }
  ParseResult result;
  result.options = std::move(options);
  return result;
}

}  // namespace talvorine::tools
