// Process entry: hands the arguments to the run sequence and returns its exit code.
#include <string>
#include <vector>

#include "app/run.h"

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  return tarvolin::app::GenerateHashes(arguments);
}
