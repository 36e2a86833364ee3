// lintaro: the desktop program.
#include "ui/app.h"

int main(int argc, char** argv) { return lintaro::RunApp(argc, argv); }
