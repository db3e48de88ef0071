#pragma once

#include "options.h"

namespace talvorine::tools {

// Each returns the exit status: 0 done, 1 failed.
int RunListen(const Options& options);
int RunSendText(const Options& options);
int RunSendFile(const Options& options);

}  // namespace talvorine::tools
