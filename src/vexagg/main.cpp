// vexagg's start: its arguments split as Marlovexine splits them, but every empty one kept (an
// empty path is an error, not a missing argument), then the run.
#include "app_folder.h"
#include "command_line.h"
#include "vexagg_entry.h"

int main(int argc, char** argv) {
  return vex::RunVexagg(vex::ProgramArguments(argc, argv, vex::TEmptyArguments::Kept),
                        vex::ExecutableFolder());
}
