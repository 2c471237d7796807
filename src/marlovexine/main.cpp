// The program's start: the executable's folder, where the palette template is looked for,
// then the run.
#include "app_folder.h"
#include "command_line.h"
#include "entry.h"

int main(int argc, char** argv) {
  return vex::RunMarlovexine(vex::ProgramArguments(argc, argv, vex::TEmptyArguments::Skipped),
                             vex::ExecutableFolder());
}
