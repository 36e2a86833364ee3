// The floor the checker is measured against: read a submission file in
// chunks, frame it into 1,024-character records and insert each record into
// a one-column SQLite table, all in one transaction. Nothing is checked.
//
//   floor_check FILE DB
#include <sqlite3.h>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: floor_check FILE DB\n", stderr);
    return 2;
  }
  std::remove(argv[2]);
  sqlite3* db = nullptr;
  if (sqlite3_open(argv[2], &db) != SQLITE_OK) return 1;
  sqlite3_exec(db, "CREATE TABLE R (Record TEXT); BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO R VALUES (?)", -1, &insert, nullptr);
  std::FILE* f = std::fopen(argv[1], "rb");
  if (!f) return 1;
  std::vector<char> chunk(65000);
  std::string record;
  long long count = 0;
  auto flush = [&] {
    sqlite3_bind_text(insert, 1, record.data(), static_cast<int>(record.size()), SQLITE_STATIC);
    sqlite3_step(insert);
    sqlite3_reset(insert);
    record.clear();
    ++count;
  };
  size_t n;
  while ((n = std::fread(chunk.data(), 1, chunk.size(), f)) > 0) {
    for (size_t i = 0; i < n; ++i) {
      char c = chunk[i];
      if (c == '\r' || c == '\n') {
        if (!record.empty()) flush();
        continue;
      }
      record.push_back(c);
      if (record.size() == 1024) flush();
    }
  }
  if (!record.empty()) flush();
  std::fclose(f);
  sqlite3_finalize(insert);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  std::printf("%lld records\n", count);
  return 0;
}
