// Writes a test run's batches of rows into the results database on a
// thread of its own, so that the run checks the next records meanwhile.
//
// Batches are written one by one in the order handed over, each committed
// with its rows unless it leaves its transaction open for the batches after
// it (WriteBatch::LeaveTransactionOpen): a run killed at any moment leaves a
// database that holds every batch committed so far. At most max_waiting batches are
// handed over and not yet written; handing over one more waits, so the
// memory held stays the same however long the file. Each writer has its own
// thread (started when the first batch is handed over) and touches only its
// own database: several runs may write at once.
//
// Failures: a batch that cannot be written is rolled back and its
// StoreError is kept; the next Hand or Finish throws it, once. From then on
// nothing more is written: Hand and Finish drop their batches.
#ifndef LINTARO_STORE_BATCH_WRITER_H_
#define LINTARO_STORE_BATCH_WRITER_H_

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "store/results_db.h"
#include "store/write_batch.h"

namespace lintaro {

class BatchWriter {
 public:
  static constexpr size_t kMaxWaiting = 2;

  // db must outlive the writer.
  explicit BatchWriter(ResultsDb& db, size_t max_waiting = kMaxWaiting);
  // Writes what was handed over and ends the thread; a failure is dropped
  // (Finish first to see it).
  ~BatchWriter();
  BatchWriter(const BatchWriter&) = delete;
  BatchWriter& operator=(const BatchWriter&) = delete;

  // An empty batch to fill: a written one, keeping its storage, when one
  // is free.
  std::unique_ptr<WriteBatch> Take();

  // Hands batch over to be written on the writer's thread and returns
  // while it is written; waits first while max_waiting batches are not yet
  // written. Throws the kept failure.
  void Hand(std::unique_ptr<WriteBatch> batch);

  // Writes batch after every batch handed over and returns when all are
  // committed (batch must commit); the database may then be read and written on the calling
  // thread until the next Hand. Before the first Hand the batch is written
  // on the calling thread. Throws the kept failure or batch's own.
  void Finish(std::unique_ptr<WriteBatch> batch);

  // The most batches that were handed over and not yet written at any one
  // time.
  size_t peak_waiting() const;

 private:
  void Run();
  // Throws the kept failure if it has not been thrown yet. mutex_ is held.
  void ThrowFailure();
  void Recycle(std::unique_ptr<WriteBatch> batch);

  ResultsDb& db_;
  const size_t max_waiting_;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::unique_ptr<WriteBatch>> waiting_;  // handed over, not yet written
  std::vector<std::unique_ptr<WriteBatch>> free_;
  bool writing_ = false;  // the thread holds a batch
  bool stopping_ = false;
  size_t peak_waiting_ = 0;
  std::optional<StoreError> failure_;
  bool failure_thrown_ = false;
  std::thread thread_;
};

}  // namespace lintaro

#endif  // LINTARO_STORE_BATCH_WRITER_H_
