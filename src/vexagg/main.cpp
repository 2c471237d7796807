// vexagg's start: its arguments split as Marlovexine splits them, then the run.
#include "app_folder.h"
#include "command_line.h"
#include "vexagg_entry.h"

int main(int argc, char** argv) {
  return vex::RunVexagg(vex::ProgramArguments(argc, argv), vex::ExecutableFolder());
}
