#include "store/batch_writer.h"

#include <algorithm>
#include <exception>

namespace lintaro {

BatchWriter::BatchWriter(ResultsDb& db, size_t max_waiting)
    : db_(db), max_waiting_(std::max<size_t>(max_waiting, 1)) {}

BatchWriter::~BatchWriter() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

std::unique_ptr<WriteBatch> BatchWriter::Take() {
  std::lock_guard lock(mutex_);
  if (free_.empty()) return std::make_unique<WriteBatch>();
  std::unique_ptr<WriteBatch> batch = std::move(free_.back());
  free_.pop_back();
  return batch;
}

void BatchWriter::Recycle(std::unique_ptr<WriteBatch> batch) {
  batch->Clear();
  free_.push_back(std::move(batch));
}

void BatchWriter::ThrowFailure() {
  if (!failure_ || failure_thrown_) return;
  failure_thrown_ = true;
  throw *failure_;
}

void BatchWriter::Hand(std::unique_ptr<WriteBatch> batch) {
  std::unique_lock lock(mutex_);
  if (!thread_.joinable()) thread_ = std::thread(&BatchWriter::Run, this);
  changed_.wait(lock, [this] { return failure_ || waiting_.size() + writing_ < max_waiting_; });
  if (failure_) {
    Recycle(std::move(batch));
    ThrowFailure();
    return;
  }
  waiting_.push_back(std::move(batch));
  peak_waiting_ = std::max(peak_waiting_, waiting_.size() + writing_);
  lock.unlock();
  changed_.notify_all();
}

void BatchWriter::Finish(std::unique_ptr<WriteBatch> batch) {
  std::unique_lock lock(mutex_);
  if (failure_) {
    Recycle(std::move(batch));
    ThrowFailure();
    return;
  }
  if (!thread_.joinable()) {
    // Nothing was handed over: the database is the caller's to write.
    lock.unlock();
    try {
      batch->WriteTo(db_);
    } catch (const StoreError& e) {
      lock.lock();
      failure_ = e;
      failure_thrown_ = true;
      Recycle(std::move(batch));
      throw;
    }
    lock.lock();
    Recycle(std::move(batch));
    return;
  }
  waiting_.push_back(std::move(batch));
  changed_.notify_all();
  changed_.wait(lock, [this] { return waiting_.empty() && !writing_; });
  ThrowFailure();
}

size_t BatchWriter::peak_waiting() const {
  std::lock_guard lock(mutex_);
  return peak_waiting_;
}

void BatchWriter::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
    if (waiting_.empty()) return;  // stopping, and everything is written
    std::unique_ptr<WriteBatch> batch = std::move(waiting_.front());
    waiting_.pop_front();
    if (!failure_) {
      writing_ = true;
      lock.unlock();
      std::optional<StoreError> failed;
      try {
        batch->WriteTo(db_);
      } catch (const StoreError& e) {
        failed = e;
      } catch (const std::exception& e) {
        failed = StoreError(-1, e.what());
      }
      lock.lock();
      writing_ = false;
      if (failed && !failure_) failure_ = std::move(failed);
    }
    Recycle(std::move(batch));
    changed_.notify_all();
  }
}

}  // namespace lintaro
