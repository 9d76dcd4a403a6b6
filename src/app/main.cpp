// Process entry: hands the arguments to the run sequence and returns its exit code.
#include <string>
#include <vector>

#include "app/run.h"

int main(int argc, char** argv) {
  return tarvolin::app::GenerateHashes(std::vector<std::string>(argv, argv + argc));
}
