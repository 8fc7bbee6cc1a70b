/* The least a Windows run must do: write one line to a file and start one program without
 * waiting for it, as the start-up starts the registration of msxml2.dll.
 * Usage: start_floor OUTPUT */
#include <windows.h>

#include <stdio.h>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  char system[MAX_PATH];
  UINT n = GetSystemDirectoryA(system, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return 1;
  /* The C library's formatting, not user32's: a bare program loads no more than kernel32
   * and the C runtime. */
  char program[MAX_PATH + 16];
  char line[2 * MAX_PATH + 32];
  snprintf(program, sizeof program, "%s\\regsvr32.exe", system);
  snprintf(line, sizeof line, "regsvr32 -s %s\\msxml2.dll", system);

  STARTUPINFOA si;
  PROCESS_INFORMATION pi;
  ZeroMemory(&si, sizeof si);
  ZeroMemory(&pi, sizeof pi);
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWMINIMIZED;
  if (CreateProcessA(program, line, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) {
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }

  DeleteFileA(argv[1]);  // a new file, as a run makes its result
  FILE* out = fopen(argv[1], "w");
  if (!out) return 1;
  fputs("VM\r\n", out);
  return fclose(out) == 0 ? 0 : 1;
}
