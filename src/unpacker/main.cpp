// The program's start: the executable's folder first, then the run.
#include "entry.h"
#include "vex_sys_utils.h"

int main(int argc, char** argv) {
  vex::InitAppPath();
  return vex::RunMarlovexine(vex::ProgramArguments(argc, argv));
}
