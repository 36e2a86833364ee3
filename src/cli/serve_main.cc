// lintaro-serve: the service of `lintaro-cli serve`, which runs it with its
// own arguments ("lintaro-cli serve OPTION..."), so that it answers and
// words everything as lintaro-cli.
#include <string>

#include "cli/cli_options.h"
#include "cli/serve_command.h"
#include "cli/standard_output.h"
#include "store/results_db.h"

int main(int argc, char** argv) {
  lintaro::HoldClosedStandardStreams();  // before any file is opened
  lintaro::ConfigureStoreForThreads();   // the service checks on several threads
  if (argc < 2 || std::string(argv[1]) != "serve")
    return lintaro::UsageError("lintaro-serve is started by lintaro-cli serve");
  return lintaro::CloseStandardOutput(lintaro::ServeCommand(argc - 1, argv + 1));
}
