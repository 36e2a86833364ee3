// Standard output that could not be written: every command's output is
// flushed and closed at its end, and a failure to write it (a full disk, a
// closed pipe) ends the command with "lintaro-cli: write error: REASON" and
// status 2, whatever it would have returned.
#ifndef LINTARO_CLI_STANDARD_OUTPUT_H_
#define LINTARO_CLI_STANDARD_OUTPUT_H_

namespace lintaro {

// At the start of the program: a standard stream (0, 1 or 2) that the
// caller left closed is opened on /dev/null the wrong way round (standard
// input for writing, the others for reading), so that using it fails as
// using a closed one does, and no file the program opens later (the
// folder's lock, a results file, an upload) takes its number and receives
// what was meant for the stream.
void HoldClosedStandardStreams();

// Flushes standard output; false, once "lintaro-cli: write error: REASON"
// is on standard error, when it could not be written. Whatever is written
// to it after a failure goes nowhere, so that the failure is told once;
// the caller ends with status 2.
bool FlushStandardOutput();

// Tells a failure (err: errno) to write standard output, as
// FlushStandardOutput does.
void StandardOutputFailed(int err);

// At the end of the program: flushes and closes standard output. Returns
// status, or 2 (after telling why) when it could not be written. A standard
// output that was closed and never written to is no failure.
int CloseStandardOutput(int status);

}  // namespace lintaro

#endif  // LINTARO_CLI_STANDARD_OUTPUT_H_
