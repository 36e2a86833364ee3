// Replays kept inputs through a fuzz target without libFuzzer, so that the
// corpus under tests/fuzz/corpus guards the normal and the sanitizer builds:
//
//   fuzz_run_seeds DIR_OR_FILE...
//
// Feeds every file (of each folder, in name order) to the target's
// LLVMFuzzerTestOneInput. An input the target rejects aborts the process
// after its name was printed; no input at all is a failure too.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  int passed = 0;
  bool missing = false;
  for (int i = 1; i < argc; ++i) {
    std::vector<fs::path> inputs;
    if (fs::is_directory(argv[i])) {
      for (const fs::directory_entry& entry : fs::directory_iterator(argv[i]))
        if (entry.is_regular_file()) inputs.push_back(entry.path());
    } else if (fs::is_regular_file(argv[i])) {
      inputs.push_back(argv[i]);
    }
    std::sort(inputs.begin(), inputs.end());
    if (inputs.empty()) std::fprintf(stderr, "%s: no input there\n", argv[i]);
    missing = missing || inputs.empty();
    for (const fs::path& input : inputs) {
      std::ifstream in(input, std::ios::binary);
      const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
      std::fprintf(stderr, "%s\n", input.c_str());
      LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
      ++passed;
    }
  }
  std::printf("%d passed, 0 failed\n", passed);
  return passed > 0 && !missing ? 0 : 1;
}
