// Process entry: hands the arguments to the run sequence and returns its exit code.
#include "app/run.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  namespace platform = tarvolin::platform;
  platform::OccupyClosedStandardHandles();
  return tarvolin::app::GenerateHashes(platform::ProcessArguments(argc, argv),
                                       platform::RawCommandLine());
}
