// Runs the engine's console screens in a process of their own, so tests can give them a
// standard input of their choosing:
//   console_helper wait TICKS                   the key wait alone, on standard output
//   console_helper screen DELAY AUDIBLE MESSAGE the message screen, then one console line
#include <cstdlib>
#include <string>
#include <vector>

#include "cmdline/params.h"
#include "cmdline/screen.h"

int main(int argc, char** argv) {
  using namespace tarvolin::cmdline;
  SetProcessArguments(std::vector<std::string>(argv, argv + argc));
  StartEngine();
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 2 && args[0] == "wait") {
    WaitForKey(std::atoi(args[1].c_str()), "Press Any Key to Continue...");
  } else if (args.size() == 4 && args[0] == "screen") {
    ShowSyntaxMessage(args[3], args[1] == "1", args[2] == "1");
    ConsoleOut->WriteLine("after the screen");
  } else {
    return 2;
  }
  ConsoleOut->Flush();
  return 0;
}
