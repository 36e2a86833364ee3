#include "serve/check_registry.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string_view>

#include "core/error_limit.h"
#include "os/path.h"
#include "serve/check_id.h"
#include "serve/check_meta.h"
#include "serve/check_reads.h"
#include "serve/check_runner.h"

namespace lintaro {
namespace {

namespace fs = std::filesystem;

// The name a folder is given in the data folder while it is removed.
constexpr std::string_view kRemovingPrefix = ".removing-";

// The folder's last change, in the service clock's seconds.
int64_t ChangedAt(const std::string& folder) {
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0) return 0;
  return static_cast<int64_t>(info.st_mtime);
}

// The files of a check that a killed service left, as far as they arrived:
// those its check.json names, in order, else (a check.json written before
// its first file, or none) those of its files folder, in the order they
// were written.
std::vector<UploadedFile> FilesLeft(const std::string& folder, std::vector<UploadedFile> named) {
  const std::string files = JoinPath(folder, kCheckFilesFolder);
  std::vector<std::pair<struct timespec, UploadedFile>> found;
  std::error_code ec;
  if (named.empty()) {
    for (const fs::directory_entry& entry : fs::directory_iterator(files, ec)) {
      struct stat info {};
      if (::lstat(entry.path().c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
      const std::string name = entry.path().filename().string();
      found.push_back({info.st_mtim, UploadedFile{name, JoinPath(files, name), 0}});
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
      if (a.first.tv_sec != b.first.tv_sec) return a.first.tv_sec < b.first.tv_sec;
      if (a.first.tv_nsec != b.first.tv_nsec) return a.first.tv_nsec < b.first.tv_nsec;
      return a.second.name < b.second.name;
    });
    for (auto& [written, file] : found) named.push_back(std::move(file));
  }
  // What reached the disk, which check.json knew only as each file began.
  for (UploadedFile& f : named) {
    f.path = JoinPath(files, f.name);
    struct stat info {};
    if (::lstat(f.path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) f.size = info.st_size;
  }
  return named;
}

}  // namespace

CheckRegistry::CheckRegistry(RegistryOptions options) : options_(std::move(options)) {}

CheckRegistry::~CheckRegistry() { Shutdown(0); }

std::error_code CheckRegistry::RemoveNow(const std::string& folder) {
  std::error_code ec;
  if (options_.remove_folder)
    ec = options_.remove_folder(folder);
  else
    fs::remove_all(folder, ec);
  return ec;
}

std::error_code CheckRegistry::RemoveFolder(const std::string& folder) {
  // Out of its place first, under a name no check has: a service killed
  // part-way leaves nothing that reads as a check, and the next removes it.
  std::string name = fs::path(folder).lexically_relative(options_.data_folder).string();
  std::replace(name.begin(), name.end(), '/', '-');
  const std::string removing = JoinPath(options_.data_folder, std::string(kRemovingPrefix) + name);
  const bool moved = ::rename(folder.c_str(), removing.c_str()) == 0;
  const std::error_code ec = RemoveNow(moved ? removing : folder);
  // What stays goes back to its place, for the next try.
  if (ec && moved) ::rename(removing.c_str(), folder.c_str());
  if (!ec) ForgetResults(folder);
  return ec;
}

void CheckRegistry::Record(CheckJob& job) {
  job.record_unsaved = !(options_.write_record ? options_.write_record(job) : WriteCheckMeta(job));
}

void CheckRegistry::RecordUnsavedLocked() {
  // Only checks still held: one being deleted has no record to keep.
  for (const auto& [id, job] : checks_)
    if (job->record_unsaved) Record(*job);
}

void CheckRegistry::Adopt() {
  std::error_code ec;
  const int64_t now = options_.clock->Now();
  // What a service killed while it removed a folder left of it.
  for (const fs::directory_entry& entry : fs::directory_iterator(options_.data_folder, ec))
    if (entry.path().filename().string().starts_with(kRemovingPrefix)) RemoveNow(entry.path());
  for (const fs::directory_entry& entry : fs::directory_iterator(options_.data_folder, ec)) {
    const std::string name = entry.path().filename().string();
    if (!IsCheckId(name) || !entry.is_directory(ec)) continue;
    auto job = std::make_shared<CheckJob>();
    const bool read = ReadCheckMeta(entry.path().string(), *job) && job->id == name;
    if (!read || job->state == CheckState::kQueued || job->state == CheckState::kRunning) {
      // The service ended before the check did: its upload is kept no
      // longer, and its files are listed as they arrived.
      std::vector<UploadedFile> files =
          FilesLeft(entry.path().string(), read ? job->files : std::vector<UploadedFile>{});
      job = std::make_shared<CheckJob>();
      job->id = name;
      job->folder = entry.path().string();
      job->files = std::move(files);
      for (const UploadedFile& f : job->files) job->bytes_total += f.size;
      job->state = CheckState::kFailed;
      job->outcome = "incomplete";
      job->problem = "the service stopped before this check ended";
      job->ended = ChangedAt(job->folder);
      job->created = job->started = job->ended;
      RemoveFolder(JoinPath(job->folder, kCheckFilesFolder));
      job->has_results = fs::exists(JoinPath(job->folder, "ERRLOG2C.MDB"), ec);
      // Its results cover the records it reached: its report says how many.
      if (job->has_results) job->records_tested.store(StoredRecordsTested(job->folder));
      Record(*job);
    }
    // One whose folder cannot be deleted is held, for a sweep to delete.
    if (now - job->ended >= options_.keep_seconds && !RemoveFolder(job->folder)) continue;
    checks_[job->id] = job;
  }
}

void CheckRegistry::Start() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    Adopt();
  }
  for (int i = 0; i < std::max(1, options_.jobs); ++i) workers_.emplace_back([this] { Work(); });
}

void CheckRegistry::Shutdown(int grace_ms) {
  stop_taking_.store(true);
  std::vector<std::shared_ptr<CheckJob>> never_started;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    never_started.assign(queue_.begin(), queue_.end());
    queue_.clear();
    for (const auto& job : never_started) checks_.erase(job->id);
    changed_.wait_for(lock, std::chrono::milliseconds(grace_ms), [this] { return running_ == 0; });
    stop_runs_.store(true);
    workers_end_ = true;
  }
  changed_.notify_all();
  for (std::thread& t : workers_) t.join();
  workers_.clear();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    RecordUnsavedLocked();
  }
  for (const auto& job : never_started) RemoveFolder(job->folder);
}

std::shared_ptr<CheckJob> CheckRegistry::Prepare(std::string& problem, bool& queue_full) {
  queue_full = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stop_taking_.load()) {
      problem = "the service is stopping";
      return nullptr;
    }
    if (queue_.size() + static_cast<size_t>(preparing_) >= options_.max_waiting) {
      queue_full = true;
      return nullptr;
    }
    ++preparing_;
  }
  auto job = std::make_shared<CheckJob>();
  std::optional<std::string> id = NewCheckId();
  std::error_code ec;
  if (id) {
    job->id = *id;
    job->folder = JoinPath(options_.data_folder, *id);
    if (fs::create_directory(job->folder, ec) && !ec) {
      fs::permissions(job->folder, fs::perms::owner_all, ec);
      const std::string files = JoinPath(job->folder, kCheckFilesFolder);
      if (fs::create_directory(files, ec) && !ec) fs::permissions(files, fs::perms::owner_all, ec);
    } else if (!ec) {
      ec = std::make_error_code(std::errc::file_exists);
    }
  }
  if (!id || ec) {
    problem = !id ? std::string("the system's random source cannot be read")
                  : "cannot create a folder for the check: " + ec.message();
    std::lock_guard<std::mutex> lock(mutex_);
    --preparing_;
    return nullptr;
  }
  job->created = options_.clock->Now();
  return job;
}

void CheckRegistry::Submit(std::shared_ptr<CheckJob> job) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    --preparing_;
    for (const UploadedFile& f : job->files) job->bytes_total += f.size;
    Record(*job);
    checks_[job->id] = job;
    queue_.push_back(std::move(job));
  }
  changed_.notify_all();
}

bool CheckRegistry::StartWhileUploading(const std::shared_ptr<CheckJob>& job,
                                        const std::vector<UploadedFile>& files) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stop_taking_.load() || !queue_.empty() || running_ >= std::max(1, options_.jobs))
      return false;
    --preparing_;
    job->files = files;
    Record(*job);
    checks_[job->id] = job;
    queue_.push_back(job);
  }
  changed_.notify_all();
  return true;
}

void CheckRegistry::FilesArriving(const std::shared_ptr<CheckJob>& job,
                                  const std::vector<UploadedFile>& files) {
  std::lock_guard<std::mutex> lock(mutex_);
  // Not while its folder is being deleted: the file would be left over.
  if (job->removing || checks_.count(job->id) == 0) return;
  job->files = files;
  Record(*job);
}

void CheckRegistry::UploadEnded(const std::shared_ptr<CheckJob>& job,
                                std::vector<UploadedFile> files) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    job->files = std::move(files);
    job->bytes_total = 0;
    for (const UploadedFile& f : job->files) job->bytes_total += f.size;
    if (!job->removing && checks_.count(job->id) != 0) Record(*job);
  }
  changed_.notify_all();
}

void CheckRegistry::Discard(const std::shared_ptr<CheckJob>& job, std::vector<UploadedFile> files,
                            const std::string& why) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    --preparing_;
  }
  if (!RemoveFolder(job->folder)) return;
  // What was stored of the upload may still be on the disk: it is listed,
  // never as tested, for its user or a sweep to delete.
  std::lock_guard<std::mutex> lock(mutex_);
  job->files = std::move(files);
  for (const UploadedFile& f : job->files) job->bytes_total += f.size;
  job->state = CheckState::kFailed;
  job->outcome = "failed";
  job->problem = why;
  job->ended = options_.clock->Now();
  checks_[job->id] = job;
  Record(*job);
}

void CheckRegistry::Work() {
  for (;;) {
    std::shared_ptr<CheckJob> job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [this] { return workers_end_ || !queue_.empty(); });
      if (workers_end_) return;
      job = queue_.front();
      queue_.pop_front();
      job->state = CheckState::kRunning;
      job->started = options_.clock->Now();
      ++running_;
    }
    Finish(job, RunCheckJob(*job, stop_runs_));
  }
}

void CheckRegistry::Finish(const std::shared_ptr<CheckJob>& job, CheckEnding ending) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    job->state = ending.state;
    job->summary = std::move(ending.summary);
    job->outcome = std::move(ending.outcome);
    job->problem = std::move(ending.problem);
    job->messages = std::move(ending.messages);
    job->has_results = ending.has_results;
    job->ended = options_.clock->Now();
    // A check deleted while it ran: Delete, waiting for this, deletes its folder.
    if (!job->deleted) Record(*job);
    --running_;
  }
  changed_.notify_all();
}

void CheckRegistry::Abandon(const std::shared_ptr<CheckJob>& job) {
  Delete(job->id);
  // Deleted by its user meanwhile: that deletion may not be over yet.
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return job->state != CheckState::kRunning && !job->removing; });
}

CheckStatus CheckRegistry::StatusLocked(const CheckJob& job) const {
  CheckStatus s;
  s.id = job.id;
  s.folder = job.folder;
  s.state = job.state;
  if (job.state == CheckState::kQueued) {
    for (size_t i = 0; i < queue_.size(); ++i)
      if (queue_[i].get() == &job) s.queue_position = static_cast<int64_t>(i) + 1;
  }
  s.records_tested = job.records_tested.load(std::memory_order_relaxed);
  s.bytes_read = job.bytes_read.load(std::memory_order_relaxed);
  s.bytes_total = job.bytes_total;
  if (job.state == CheckState::kDone) s.bytes_read = s.bytes_total;
  s.files = job.files;
  s.created = job.created;
  s.started = job.started;
  s.ended = job.ended;
  s.summary = job.summary;
  s.outcome = job.outcome;
  s.problem = job.problem;
  s.messages = job.messages;
  s.has_results = job.has_results;
  return s;
}

std::optional<CheckStatus> CheckRegistry::Status(const std::string& id) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = checks_.find(id);
  if (it == checks_.end()) return std::nullopt;
  return StatusLocked(*it->second);
}

void CheckRegistry::WaitForEnd(const std::string& id, int ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait_for(lock, std::chrono::milliseconds(ms), [&] {
    auto it = checks_.find(id);
    if (it == checks_.end()) return stop_taking_.load() || deleting_.count(id) == 0;
    return stop_taking_.load() || it->second->state == CheckState::kDone ||
           it->second->state == CheckState::kFailed;
  });
}

bool CheckRegistry::Deleting(const std::string& id) {
  std::lock_guard<std::mutex> lock(mutex_);
  return deleting_.count(id) != 0;
}

std::vector<CheckStatus> CheckRegistry::List() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<CheckStatus> list;
  for (const auto& [id, job] : checks_) list.push_back(StatusLocked(*job));
  std::sort(list.begin(), list.end(), [](const CheckStatus& a, const CheckStatus& b) {
    return a.created != b.created ? a.created < b.created : a.id < b.id;
  });
  return list;
}

CheckRegistry::Deletion CheckRegistry::Delete(const std::string& id, std::string* why) {
  std::shared_ptr<CheckJob> job;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    auto it = checks_.find(id);
    if (it == checks_.end()) return Deletion::kNoSuchCheck;
    job = it->second;
    checks_.erase(it);
    ++deleting_[id];
    job->cancel.store(true);  // also stops the rest of an upload still arriving
    job->removing = true;
    if (job->state == CheckState::kRunning) {
      // The run ends at its next record (or as soon as it stops waiting for
      // its upload); only then can its folder go.
      job->deleted = true;
      changed_.notify_all();
      changed_.wait(lock, [&] { return job->state != CheckState::kRunning; });
    }
    queue_.erase(std::remove(queue_.begin(), queue_.end(), job), queue_.end());
  }
  changed_.notify_all();
  const std::error_code ec = RemoveFolder(job->folder);
  std::lock_guard<std::mutex> lock(mutex_);
  job->removing = false;
  if (--deleting_[id] == 0) deleting_.erase(id);
  changed_.notify_all();
  if (!ec) return Deletion::kDeleted;
  // Its submission and results may still be on the disk: the check stays
  // listed, so that its user can delete it again, and is held again after
  // a restart as it ended.
  job->deleted = false;
  if (job->state == CheckState::kQueued) {
    job->state = CheckState::kFailed;
    job->outcome = "aborted";
    job->problem = "deleted before it started";
    job->ended = options_.clock->Now();
  }
  std::error_code exists_ec;
  job->has_results =
      job->has_results && fs::exists(JoinPath(job->folder, "ERRLOG2C.MDB"), exists_ec);
  checks_[job->id] = job;
  Record(*job);
  if (why != nullptr) *why = ec.message();
  return Deletion::kFilesKept;
}

void CheckRegistry::Sweep() {
  std::vector<std::shared_ptr<CheckJob>> expired;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    RecordUnsavedLocked();
    const int64_t now = options_.clock->Now();
    for (auto it = checks_.begin(); it != checks_.end();) {
      const CheckJob& job = *it->second;
      const bool ended = job.state == CheckState::kDone || job.state == CheckState::kFailed;
      if (ended && now - job.ended >= options_.keep_seconds) {
        expired.push_back(it->second);
        it = checks_.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (const auto& job : expired) {
    if (!RemoveFolder(job->folder)) continue;
    // Held again, to be deleted by a later sweep.
    std::lock_guard<std::mutex> lock(mutex_);
    checks_.emplace(job->id, job);
  }
}

bool CheckRegistry::full() {
  std::lock_guard<std::mutex> lock(mutex_);
  return queue_.size() + static_cast<size_t>(preparing_) >= options_.max_waiting;
}

int64_t CheckRegistry::waiting() {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int64_t>(queue_.size());
}

int64_t CheckRegistry::running() {
  std::lock_guard<std::mutex> lock(mutex_);
  return running_;
}

}  // namespace lintaro
