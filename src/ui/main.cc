// lintaro: the desktop program.
#include <csignal>

#include "store/results_db.h"
#include "ui/app.h"

int main(int argc, char** argv) {
  // A file that reaches the file size limit fails its write (EFBIG), told as
  // a full disk is, instead of ending the program with a run half written.
  std::signal(SIGXFSZ, SIG_IGN);
  // So does standard output whose reader is gone (EPIPE): the counts of an
  // unattended run that were not read fail it with a word, as a full disk does.
  std::signal(SIGPIPE, SIG_IGN);
  // A check writes its results on a thread of its own, as on the command line.
  lintaro::ConfigureStoreForThreads();
  return lintaro::RunApp(argc, argv);
}
