// The program's start: the executable's folder first, then the run.
#include "command_line.h"
#include "entry.h"

int main(int argc, char** argv) {
  vex::InitAppPath();
  return vex::RunMarlovexine(vex::ProgramArguments(argc, argv));
}
