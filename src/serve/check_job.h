// One check the service holds: its submission's files in its own folder,
// where it stands, its progress while it runs and its summary once it
// ended. The registry (check_registry.h) guards every field but the
// progress counters, which the check's thread writes as it runs.
#ifndef LINTARO_SERVE_CHECK_JOB_H_
#define LINTARO_SERVE_CHECK_JOB_H_

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lintaro {

class UploadStream;

enum class CheckState { kQueued, kRunning, kDone, kFailed };

// "queued", "running", "done", "failed".
const char* CheckStateName(CheckState state);

struct UploadedFile {
  std::string name;  // as the client named it, made safe for a file name
  std::string path;  // where it is stored, in the check's folder
  int64_t size = 0;
};

struct CheckJob {
  std::string id;
  std::string folder;  // DATA/ID: the program folder of the check
  std::vector<UploadedFile> files;
  int max_errors = 500;
  int64_t bytes_total = 0;
  // Set when the check starts while its upload still arrives (and then
  // never changed): its files are read from the upload as they come, and
  // files and bytes_total are set when the upload ended.
  std::shared_ptr<UploadStream> upload;

  CheckState state = CheckState::kQueued;
  int64_t created = 0;  // service clock seconds
  int64_t started = 0;
  int64_t ended = 0;
  // When ended: the summary object `lintaro-cli check --format json` prints
  // (with its line feed), its outcome and, for a failed check, why; and the
  // run's alert (more all-zero correct amounts than it records), if any.
  std::string summary;
  std::string outcome;
  std::string problem;
  std::vector<std::string> messages;
  bool has_results = false;  // the folder holds a results file to report

  // Written by the check's thread while it runs.
  std::atomic<int64_t> records_tested{0};
  std::atomic<int64_t> bytes_read{0};
  // Set to make a running check stop at its next record.
  std::atomic<bool> cancel{false};
  // Deleted while it ran: its folder goes when the run has ended.
  bool deleted = false;
  bool removing = false;        // being deleted: its run is ending, or its folder going
  bool record_unsaved = false;  // its check.json is behind: it could not be written
};

}  // namespace lintaro

#endif  // LINTARO_SERVE_CHECK_JOB_H_
