// The checks the service holds, and the threads that run them.
//
// Each check has a folder DATA/ID of its own, laid out as `lintaro-cli
// batch --results` lays out a submission's (ERRLOG2C.MDB, report.txt and
// report.json when there are findings), with the uploaded files under
// files/ and, once the check ended, check.json: what the service needs to
// hold the check again after a restart. At most `jobs` checks run at once;
// the others wait in arrival order. A check's folder is deleted keep_seconds
// after the check ended (and at start-up when it ended longer ago), when it
// is deleted by its user, and, for a check that never started, when the
// service ends.
#ifndef LINTARO_SERVE_CHECK_REGISTRY_H_
#define LINTARO_SERVE_CHECK_REGISTRY_H_

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "serve/check_job.h"
#include "serve/service_options.h"

namespace lintaro {

inline constexpr const char* kCheckFilesFolder = "files";
inline constexpr const char* kCheckMetaFile = "check.json";

// A copy of a check's fields at one moment.
struct CheckStatus {
  std::string id;
  std::string folder;
  CheckState state = CheckState::kQueued;
  int64_t queue_position = 0;  // 1 for the next to run; 0 when not waiting
  int64_t records_tested = 0;
  int64_t bytes_read = 0;
  int64_t bytes_total = 0;
  std::vector<UploadedFile> files;
  int64_t created = 0, started = 0, ended = 0;
  std::string summary, outcome, problem;
  std::vector<std::string> messages;
  bool has_results = false;
};

struct RegistryOptions {
  std::string data_folder;
  int jobs = 1;
  int64_t keep_seconds = int64_t{24} * 3600;
  size_t max_waiting = 100;
  ServiceClock* clock = nullptr;
  FolderRemover remove_folder;     // empty: std::filesystem::remove_all
  CheckRecordWriter write_record;  // empty: WriteCheckMeta
};

class CheckRegistry {
 public:
  explicit CheckRegistry(RegistryOptions options);
  ~CheckRegistry();

  // Deletes the folders of checks that ended more than keep_seconds ago,
  // holds the others again, and starts the threads that run checks.
  void Start();
  // Refuses new checks; lets the running ones finish for up to grace_ms,
  // then stops them (recorded as interrupted) and waits for them; deletes
  // the folders of the checks that never started.
  void Shutdown(int grace_ms);

  // A new check's id and folder (DATA/ID/files created, 0700), or nothing
  // when the queue is full or the folder cannot be made (problem says).
  std::shared_ptr<CheckJob> Prepare(std::string& problem, bool& queue_full);
  // Queues a prepared check whose files are stored.
  void Submit(std::shared_ptr<CheckJob> job);
  // Queues a prepared check whose upload has just begun (job.upload; its
  // first file: files), when a worker is free to start it at once; false,
  // leaving it prepared, when none is.
  bool StartWhileUploading(const std::shared_ptr<CheckJob>& job,
                           const std::vector<UploadedFile>& files);
  // Another file of a check started while uploading has begun: files so far.
  void FilesArriving(const std::shared_ptr<CheckJob>& job, const std::vector<UploadedFile>& files);
  // The upload of a check started while uploading has ended whole.
  void UploadEnded(const std::shared_ptr<CheckJob>& job, std::vector<UploadedFile> files);
  // Deletes a check started while uploading whose upload failed, and waits
  // until its folder is gone.
  void Abandon(const std::shared_ptr<CheckJob>& job);
  // Deletes a prepared check that was never submitted (its upload failed:
  // why). When some of its folder stays it is held as failed, with the
  // files that were stored, until a sweep deletes it.
  void Discard(const std::shared_ptr<CheckJob>& job, std::vector<UploadedFile> files,
               const std::string& why);

  std::optional<CheckStatus> Status(const std::string& id);
  std::vector<CheckStatus> List();
  // Waits until the check ends, is deleted or the service stops, for at most ms.
  void WaitForEnd(const std::string& id, int ms);
  // Whether a deletion of the check is under way: it is not held meanwhile,
  // and is held again when some of its folder stays.
  bool Deleting(const std::string& id);
  enum class Deletion { kDeleted, kNoSuchCheck, kFilesKept };
  // Cancels the check when it waits or runs, and deletes its folder (once
  // a running check stopped, which it does at its next record). When
  // some of the folder stays (why: the reason), the check stays held, as
  // failed if it had not ended, so that nobody is told its files are gone.
  Deletion Delete(const std::string& id, std::string* why = nullptr);
  // Writes again the records that could not be written (a full disk), and
  // deletes the checks that ended keep_seconds ago or longer; one whose
  // folder cannot be deleted is held until a later sweep deletes it.
  void Sweep();

  bool full();
  int64_t waiting();
  int64_t running();
  bool stopping() const { return stop_taking_.load(); }
  const RegistryOptions& options() const { return options_; }

 private:
  void Work();
  void Finish(const std::shared_ptr<CheckJob>& job, struct CheckEnding ending);
  CheckStatus StatusLocked(const CheckJob& job) const;
  void Adopt();
  // Writes the check's record (check.json), or marks it to be written again
  // by the next sweep and at the end of the service: a restart must not
  // find the state before, a check that ended reading as one that never did.
  void Record(CheckJob& job);
  void RecordUnsavedLocked();
  // Deletes the folder, first moved out of its place (a check's folder, or
  // one in it); the reason when some of it stays, back in its place.
  std::error_code RemoveFolder(const std::string& folder);
  // Deletes the folder where it is.
  std::error_code RemoveNow(const std::string& folder);

  RegistryOptions options_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::map<std::string, std::shared_ptr<CheckJob>> checks_;
  std::map<std::string, int> deleting_;  // ids being deleted, and by how many requests
  std::deque<std::shared_ptr<CheckJob>> queue_;
  int64_t running_ = 0;
  int64_t preparing_ = 0;
  std::atomic<bool> stop_taking_{false};
  std::atomic<bool> stop_runs_{false};
  bool workers_end_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace lintaro

#endif  // LINTARO_SERVE_CHECK_REGISTRY_H_
