/* A program planted where a careless search would find it (built as regsvr32.exe,
   cmd.exe, ipconfig.exe and nbtstat.exe): when run, it leaves "<its own path>.ran" beside
   itself, so a test sees that it was started. Windows build only. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

int main(void) {
  char path[MAX_PATH + 8];
  DWORD n = GetModuleFileNameA(NULL, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return 1;
  strcpy(path + n, ".ran");
  FILE* f = fopen(path, "w");
  if (!f) return 1;
  fputs(GetCommandLineA(), f);
  fclose(f);
  return 0;
}
