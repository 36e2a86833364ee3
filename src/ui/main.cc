// lintaro: the desktop program.
#include "store/results_db.h"
#include "ui/app.h"

int main(int argc, char** argv) {
  // A check writes its results on a thread of its own, as on the command line.
  lintaro::ConfigureStoreForThreads();
  return lintaro::RunApp(argc, argv);
}
