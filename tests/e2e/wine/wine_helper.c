/* A small Windows program that the Wine end-to-end tests use where Python on the host cannot
 * reach: the system's own error texts, and a file held open by another process.
 *
 *   wine_helper.exe text CODE...     prints "CODE HEX" per code: the untrimmed FormatMessageA
 *                                    text of the code, as hex bytes ("-" when there is none)
 *   wine_helper.exe hold FILE CMD    opens FILE for reading, shared for reading only, runs the
 *                                    command line stored in the file CMD while the file is
 *                                    held, and exits with the command's exit code
 *
 * It is built with its own image base so that the relay trace tells its calls apart from
 * those of the program under test. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

static int PrintTexts(int argc, char** argv) {
  for (int i = 2; i < argc; ++i) {
    const DWORD code = (DWORD)strtoul(argv[i], NULL, 10);
    char text[256];
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                                       FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                   NULL, code, 0, text, sizeof text, NULL);
    printf("%lu ", (unsigned long)code);
    if (n == 0)
      printf("-");
    for (DWORD j = 0; j < n; ++j)
      printf("%02x", (unsigned char)text[j]);
    printf("\n");
  }
  return 0;
}

static int HoldAndRun(const char* held, const char* commandFile) {
  static char command[32768];
  FILE* f = fopen(commandFile, "rb");
  if (f == NULL)
    return 101;
  const size_t n = fread(command, 1, sizeof command - 1, f);
  fclose(f);
  command[n] = '\0';

  const HANDLE file =
      CreateFileA(held, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
  if (file == INVALID_HANDLE_VALUE)
    return 102;
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  if (!CreateProcessA(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
    return 103;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 104;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  CloseHandle(file);
  return (int)exitCode;
}

// Makes `link` a second name of the file `existing`, as a Windows program does.
static int HardLink(const char* existing, const char* link) {
  return CreateHardLinkA(link, existing, NULL) ? 0 : 105;
}

int main(int argc, char** argv) {
  if (argc >= 2 && strcmp(argv[1], "text") == 0)
    return PrintTexts(argc, argv);
  if (argc == 4 && strcmp(argv[1], "hold") == 0)
    return HoldAndRun(argv[2], argv[3]);
  if (argc == 4 && strcmp(argv[1], "link") == 0)
    return HardLink(argv[2], argv[3]);
  fprintf(stderr,
          "usage: wine_helper text CODE... | wine_helper hold FILE CMDFILE | "
          "wine_helper link EXISTING LINK\n");
  return 100;
}
