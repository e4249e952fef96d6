// Writes the large orders table (see BigTable.h):
//   kestrel_bigtable [--rows N] [--quiet] <file>
// Does nothing when <file> already holds the table with N rows (10,000,000 unless told).

#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

#include "BigTable.h"

namespace {

// An interrupted run takes its half-made file with it (the target itself was never touched).
char gPart[4096];
extern "C" void Interrupted(int signal) {
  if (gPart[0] != '\0') ::unlink(gPart);
  ::_exit(128 + signal);
}

}  // namespace

int main(int argc, char** argv) {
  int64_t rows = tamarind::bigtable::kDefaultRows;
  bool quiet = false;
  std::string path;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--rows" && i + 1 < argc) {
      char* end = nullptr;
      rows = std::strtoll(argv[++i], &end, 10);
      if (*end != '\0' || rows < 0) {
        std::cerr << "kestrel_bigtable: --rows wants a count, not " << argv[i] << "\n";
        return 2;
      }
    } else if (arg == "--quiet") {
      quiet = true;
    } else if (path.empty() && !arg.starts_with("--")) {
      path = arg;
    } else {
      path.clear();
      break;
    }
  }
  if (path.empty()) {
    std::cerr << "usage: kestrel_bigtable [--rows N] [--quiet] <file>\n";
    return 2;
  }
  const std::string part = tamarind::bigtable::PartPath(path);
  if (part.size() < sizeof gPart) {
    part.copy(gPart, part.size());
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, Interrupted);
  }
  try {
    const auto result = tamarind::bigtable::Ensure(path, rows, [quiet](const std::string& line) {
      if (!quiet) std::cerr << "kestrel_bigtable: " << line << "\n";
    });
    const double mib = static_cast<double>(result.bytes) / (1024.0 * 1024.0);
    if (!result.written)
      std::cout << path << ": already " << rows << " rows (" << mib << " MiB)\n";
    else
      std::cout << path << ": " << rows << " rows in " << result.seconds << " s (insert " << result.insertSeconds
                << " s, indexes " << result.indexSeconds << " s), " << mib << " MiB\n";
  } catch (const std::exception& e) {
    std::cerr << "kestrel_bigtable: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
