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

namespace {

std::vector<std::filesystem::path> InputsOf(const std::filesystem::path& arg) {
  std::vector<std::filesystem::path> inputs;
  if (std::filesystem::is_directory(arg)) {
    for (const auto& entry : std::filesystem::directory_iterator(arg))
      if (entry.is_regular_file()) inputs.push_back(entry.path());
    std::sort(inputs.begin(), inputs.end());
  } else if (std::filesystem::is_regular_file(arg)) {
    inputs.push_back(arg);
  } else {
    std::fprintf(stderr, "%s: no such file or folder\n", arg.c_str());
  }
  return inputs;
}

}  // namespace

int main(int argc, char** argv) {
  int passed = 0;
  bool missing = false;
  for (int i = 1; i < argc; ++i) {
    const std::vector<std::filesystem::path> inputs = InputsOf(argv[i]);
    missing = missing || inputs.empty();
    for (const std::filesystem::path& input : inputs) {
      std::ifstream in(input, std::ios::binary);
      const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
      std::fprintf(stderr, "%s\n", input.c_str());
      LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
      ++passed;
    }
  }
  std::printf("%d passed, 0 failed\n", passed);
  return passed > 0 && !missing ? 0 : 1;
}
