// A program that the external-tool tests start in place of a tool: it writes its command line and
// its working folder, one per line, to the file named by KIVO_RECORDER_OUT, and exits.
#include <windows.h>

#include <cstdio>

int main()
{
    char out[MAX_PATH] = "";
    const DWORD length = GetEnvironmentVariableA("KIVO_RECORDER_OUT", out, sizeof(out));
    if (length == 0 || length >= sizeof(out))
        return 2;
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof(folder), folder);
    // Written to a temporary name and moved, so the test never reads half a file.
    char temp[MAX_PATH + 8] = "";
    snprintf(temp, sizeof(temp), "%s.tmp", out);
    FILE* file = fopen(temp, "wb");
    if (!file)
        return 3;
    fprintf(file, "%s\n%s\n", GetCommandLineA(), folder);
    fclose(file);
    return MoveFileExA(temp, out, MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}
