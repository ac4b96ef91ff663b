/* Runs the Windows profile functions on a script, for comparison with the store on Linux.
   Built with mingw and run under wine by the differential test; never part of the plug-in.

   Script: one command a line, fields separated by one blank, each field hex-encoded bytes
   ("-" for a null pointer, "!" for an empty string):
     P file content            put: writes the file's bytes as they are
     G file section key def    GetPrivateProfileStringA with a 1024-byte buffer
     W file section key value  WritePrivateProfileStringA
     F file                    the file's bytes ("-" when it cannot be opened)
   Output: one line a command, the result in hex ("=" when empty, "-" for none). */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

enum { kBufferSize = 1024, kMaxField = 1 << 20, kMaxFields = 5 };

static char* fromHex(const char* text) {
  if (strcmp(text, "-") == 0) return NULL;
  if (strcmp(text, "!") == 0) text = "";
  size_t n = strlen(text) / 2;
  char* out = malloc(n + 1);
  for (size_t i = 0; i < n; ++i) {
    unsigned value;
    sscanf(text + 2 * i, "%2x", &value);
    out[i] = (char)value;
  }
  out[n] = 0;
  return out;
}

static void printHex(const char* bytes, size_t n) {
  if (n == 0) fputs("=", stdout);
  for (size_t i = 0; i < n; ++i) printf("%02x", (unsigned char)bytes[i]);
  fputs("\n", stdout);
}

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  FILE* script = fopen(argv[1], "rb");
  if (!script) return 2;
  static char line[4 * kMaxField];
  while (fgets(line, sizeof line, script)) {
    line[strcspn(line, "\r\n")] = 0;
    char* fields[kMaxFields] = {0};
    int count = 0;
    for (char* token = strtok(line, " "); token && count < kMaxFields; token = strtok(NULL, " "))
      fields[count++] = token;
    if (count < 2) continue;
    char* file = fromHex(fields[1]);
    if (fields[0][0] == 'P' && count == 3) {
      char* content = fromHex(fields[2]);
      FILE* out = fopen(file, "wb");
      fwrite(content, 1, strlen(content), out);
      fclose(out);
      puts("ok");
    } else if (fields[0][0] == 'G' && count == 5) {
      char buffer[kBufferSize];
      memset(buffer, 0, sizeof buffer);
      DWORD n = GetPrivateProfileStringA(fromHex(fields[2]), fromHex(fields[3]), fromHex(fields[4]),
                                         buffer, kBufferSize, file);
      printHex(buffer, n);
    } else if (fields[0][0] == 'W' && count == 5) {
      BOOL ok = WritePrivateProfileStringA(fromHex(fields[2]), fromHex(fields[3]),
                                           fromHex(fields[4]), file);
      printf("%d\n", ok ? 1 : 0);
    } else if (fields[0][0] == 'F') {
      FILE* in = fopen(file, "rb");
      if (!in) {
        puts("-");
        continue;
      }
      static char content[kMaxField];
      size_t n = fread(content, 1, sizeof content, in);
      fclose(in);
      printHex(content, n);
    } else {
      puts("?");
    }
    fflush(stdout);
  }
  return 0;
}
