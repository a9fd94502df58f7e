#include "core/app/ExceptionReport.h"

#include "platform/AtlBase.h"

#include <winver.h>

namespace {

constexpr const char* kReportName = "ERRORLOG.TXT";
constexpr const char* kCrashReporterName = "XCrashReport.exe";

// The report is formatted into one static buffer and written out in pieces: wvsprintf writes at most
// 1024 characters, so a buffer filled beyond 7168 is flushed before the next line.
constexpr DWORD kBufferSize = 8192;
constexpr DWORD kFlushThreshold = kBufferSize - 1024;
constexpr DWORD kMaxStackDump = 12288;
constexpr DWORD kSkipOnFailedQuery = 64 * 1024;
// GetVersionEx's platform id of Windows CE, which the headers no longer name.
constexpr DWORD kPlatformWindowsCe = 3;

char g_buffer[kBufferSize];
DWORD g_fill = 0;
HANDLE g_file = INVALID_HANDLE_VALUE; // the open report, borrowed from WriteExceptionReport's holder
// Only the first exception is reported; a fault while reporting must not start a second report.
LONG g_reportWritten = 0;

char g_modulePath[MAX_PATH];
char g_moduleFolder[MAX_PATH]; // with its trailing backslash
char g_reportPath[MAX_PATH];
char g_appName[MAX_PATH];
char g_scratchPath[MAX_PATH];
char g_timeText[64];
// Version resources of the modules are read into this buffer; larger ones are skipped.
BYTE g_versionData[64 * 1024];

const char* g_guardLabel = "";
LPTOP_LEVEL_EXCEPTION_FILTER g_previousFilter = nullptr;

// 64-bit values are printed as two 32-bit halves, because wvsprintf knows no 64-bit conversion.
DWORD High(ULONG64 value)
{
    return static_cast<DWORD>(value >> 32);
}
DWORD Low(ULONG64 value)
{
    return static_cast<DWORD>(value);
}

void FlushReport()
{
    if (g_fill > 0 && g_file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(g_file, g_buffer, g_fill, &written, nullptr);
    }
    g_fill = 0;
}

void Print(const char* format, ...)
{
    if (g_fill > kFlushThreshold)
        FlushReport();
    va_list args;
    va_start(args, format);
    const int length = wvsprintfA(g_buffer + g_fill, format, args);
    va_end(args);
    if (length > 0)
        g_fill += static_cast<DWORD>(length);
}

// Reads memory of this process without faulting: a page that cannot be read makes the call fail.
bool ReadOwnMemory(const void* address, void* target, SIZE_T size)
{
    SIZE_T read = 0;
    return ReadProcessMemory(GetCurrentProcess(), address, target, size, &read) && read == size;
}

// "month/day/year hh:mm:ss" in local time, through the MS-DOS form (seconds in steps of 2).
const char* FormatTime(const FILETIME& time)
{
    FILETIME local;
    WORD dosDate = 0;
    WORD dosTime = 0;
    g_timeText[0] = '\0';
    if (FileTimeToLocalFileTime(&time, &local) && FileTimeToDosDateTime(&local, &dosDate, &dosTime)) {
        wsprintfA(g_timeText, "%d/%d/%d %02d:%02d:%02d", (dosDate >> 5) & 0xF, dosDate & 0x1F, (dosDate >> 9) + 1980,
                  dosTime >> 11, (dosTime >> 5) & 0x3F, (dosTime & 0x1F) * 2);
    }
    return g_timeText;
}

const char* FileNameOf(const char* path)
{
    const char* name = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '\\' || *p == '/' || *p == ':')
            name = p + 1;
    }
    return name;
}

// Appends the text to the terminated string in the buffer of the given capacity. When the whole
// text does not fit, nothing is appended and the answer is false: a cut path would name another file.
bool AppendWithin(char* target, size_t capacity, const char* text)
{
    const size_t used = static_cast<size_t>(lstrlenA(target));
    const size_t added = static_cast<size_t>(lstrlenA(text));
    if (used >= capacity || added >= capacity - used)
        return false;
    CopyMemory(target + used, text, added + 1);
    return true;
}

// The report's path, the program folder and the application name (the module's file part without
// its extension, "Unknown" when the module's name cannot be read, or was cut at MAX_PATH). A program
// folder too long for the report's path leaves that path empty, so no report is created.
void BuildNames()
{
    // A module path that fills the whole buffer was cut short (and is not always terminated).
    const DWORD length = GetModuleFileNameA(nullptr, g_modulePath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        g_modulePath[0] = '\0';
        lstrcpyA(g_appName, "Unknown");
    } else {
        lstrcpynA(g_appName, FileNameOf(g_modulePath), MAX_PATH);
        for (char* p = g_appName + lstrlenA(g_appName); p > g_appName; --p) {
            if (*p == '.') {
                *p = '\0';
                break;
            }
        }
    }
    lstrcpynA(g_moduleFolder, g_modulePath, MAX_PATH);
    g_moduleFolder[FileNameOf(g_moduleFolder) - g_moduleFolder] = '\0';
    g_reportPath[0] = '\0';
    if (!AppendWithin(g_reportPath, sizeof(g_reportPath), g_moduleFolder) ||
        !AppendWithin(g_reportPath, sizeof(g_reportPath), kReportName))
        g_reportPath[0] = '\0';
}

// The file name of the module that owns this address, or "Unknown".
const char* ModuleOfAddress(const void* address)
{
    MEMORY_BASIC_INFORMATION info;
    if (address && VirtualQuery(address, &info, sizeof(info)) && info.AllocationBase &&
        GetModuleFileNameA(static_cast<HMODULE>(info.AllocationBase), g_scratchPath, MAX_PATH))
        return FileNameOf(g_scratchPath);
    return "Unknown";
}

void PrintSystemBlock()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    Print("Error occurred at %s.\r\n", FormatTime(now));

    char user[256];
    DWORD userLength = sizeof(user);
    if (!GetUserNameA(user, &userLength))
        lstrcpyA(user, "Unknown");
    Print("%s, run by %s.\r\n", g_modulePath, user);

    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    int versionCode = 0;
    const char* versionName = "unknown Windows version";
    if (GetVersionExA(&version))
        versionName = GetWindowsVersionName(version, versionCode);
    char versionNumber[48];
    wsprintfA(versionNumber, "%u.%u.%u", version.dwMajorVersion, version.dwMinorVersion,
              version.dwBuildNumber & 0xFFFF);
    Print("Operating system:  %s (%s).\r\n", versionName, versionNumber);

    SYSTEM_INFO system;
    GetSystemInfo(&system);
    Print("%d processor(s), type %d.\r\n", static_cast<int>(system.dwNumberOfProcessors),
          static_cast<int>(system.dwProcessorType));

    MEMORYSTATUS memory = {};
    memory.dwLength = sizeof(memory);
    GlobalMemoryStatus(&memory);
    auto megabytes = [](SIZE_T bytes) { return static_cast<int>((static_cast<ULONG64>(bytes) + 0xFFFFF) >> 20); };
    Print("%d%% memory in use.\r\n", static_cast<int>(memory.dwMemoryLoad));
    Print("%d MBytes physical memory.\r\n", megabytes(memory.dwTotalPhys));
    Print("%d MBytes physical memory free.\r\n", megabytes(memory.dwAvailPhys));
    Print("%d MBytes paging file.\r\n", megabytes(memory.dwTotalPageFile));
    Print("%d MBytes paging file free.\r\n", megabytes(memory.dwAvailPageFile));
    Print("%d MBytes user address space.\r\n", megabytes(memory.dwTotalVirtual));
    Print("%d MBytes user address space free.\r\n", megabytes(memory.dwAvailVirtual));
}

void PrintRegisters(const CONTEXT& context)
{
    Print("\r\nContext:\r\n");
    Print("RDI:    0x%08x%08x  RSI: 0x%08x%08x  RAX:   0x%08x%08x\r\n", High(context.Rdi), Low(context.Rdi),
          High(context.Rsi), Low(context.Rsi), High(context.Rax), Low(context.Rax));
    Print("RBX:    0x%08x%08x  RCX: 0x%08x%08x  RDX:   0x%08x%08x\r\n", High(context.Rbx), Low(context.Rbx),
          High(context.Rcx), Low(context.Rcx), High(context.Rdx), Low(context.Rdx));
    Print("RIP:    0x%08x%08x  RBP: 0x%08x%08x  SegCs: 0x%08x\r\n", High(context.Rip), Low(context.Rip),
          High(context.Rbp), Low(context.Rbp), static_cast<DWORD>(context.SegCs));
    Print("EFlags: 0x%08x  RSP: 0x%08x%08x  SegSs: 0x%08x\r\n", static_cast<DWORD>(context.EFlags),
          High(context.Rsp), Low(context.Rsp), static_cast<DWORD>(context.SegSs));
    Print("R8:     0x%08x%08x  R9:  0x%08x%08x  R10:   0x%08x%08x\r\n", High(context.R8), Low(context.R8),
          High(context.R9), Low(context.R9), High(context.R10), Low(context.R10));
    Print("R11:    0x%08x%08x  R12: 0x%08x%08x  R13:   0x%08x%08x\r\n", High(context.R11), Low(context.R11),
          High(context.R12), Low(context.R12), High(context.R13), Low(context.R13));
    Print("R14:    0x%08x%08x  R15: 0x%08x%08x\r\n", High(context.R14), Low(context.R14), High(context.R15),
          Low(context.R15));
}

void PrintCodeBytes(ULONG64 rip)
{
    Print("\r\nBytes at CS:RIP:\r\n");
    const BYTE* code = reinterpret_cast<const BYTE*>(rip);
    for (int i = 0; i < 16; ++i) {
        BYTE value = 0;
        if (ReadOwnMemory(code + i, &value, 1))
            Print("%02x ", value);
        else
            Print("?? ");
    }
}

// The stack from RSP up to the thread's stack base, at most 12288 bytes: lines of four 32-bit values
// with the line's address in front and its bytes as characters behind.
void PrintStack(ULONG64 rsp)
{
    Print("\r\n\r\nStack:\r\n");
    // The committed part of a thread's stack is one region that ends at the stack's base.
    MEMORY_BASIC_INFORMATION info;
    ULONG64 end = rsp;
    if (VirtualQuery(reinterpret_cast<const void*>(rsp), &info, sizeof(info)))
        end = reinterpret_cast<ULONG64>(info.BaseAddress) + info.RegionSize;
    if (end < rsp)
        end = rsp;
    if (end - rsp > kMaxStackDump)
        end = rsp + kMaxStackDump;
    for (ULONG64 line = rsp; line + sizeof(DWORD) <= end; line += 16) {
        DWORD values[4] = {};
        ULONG64 count = (end - line) / sizeof(DWORD);
        if (count > 4)
            count = 4;
        if (!ReadOwnMemory(reinterpret_cast<const void*>(line), values, count * sizeof(DWORD))) {
            Print("Exception encountered during stack dump.\r\n");
            return;
        }
        Print("0x%08x%08x: ", High(line), Low(line));
        for (ULONG64 i = 0; i < 4; ++i) {
            if (i < count)
                Print("%08x ", values[i]);
            else
                Print("         ");
        }
        const BYTE* bytes = reinterpret_cast<const BYTE*>(values);
        for (ULONG64 i = 0; i < count * sizeof(DWORD); ++i) {
            const BYTE ch = bytes[i];
            Print("%c", (ch < 32 || ch >= 127) ? '.' : ch);
        }
        Print("\r\n");
    }
    Print("\r\n");
}

void PrintVersionInformation(const char* path)
{
    char company[200] = "";
    char product[200] = "";
    char description[200] = "";
    WORD fileVersion[4] = {};
    WORD productVersion[4] = {};
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size > 0 && size <= sizeof(g_versionData) && GetFileVersionInfoA(path, 0, size, g_versionData)) {
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        if (VerQueryValueA(g_versionData, "\\", reinterpret_cast<void**>(&fixed), &length) && fixed &&
            length >= sizeof(VS_FIXEDFILEINFO)) {
            const DWORD parts[4] = {fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS,
                                    fixed->dwProductVersionLS};
            for (int i = 0; i < 2; ++i) {
                fileVersion[2 * i] = HIWORD(parts[i]);
                fileVersion[2 * i + 1] = LOWORD(parts[i]);
                productVersion[2 * i] = HIWORD(parts[2 + i]);
                productVersion[2 * i + 1] = LOWORD(parts[2 + i]);
            }
        }
        WORD* translation = nullptr;
        if (VerQueryValueA(g_versionData, "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                           &length) &&
            translation && length >= 2 * sizeof(WORD)) {
            struct Field {
                const char* key;
                char* target;
            };
            const Field fields[] = {{"CompanyName", company}, {"FileDescription", description}, {"ProductName", product}};
            for (const Field& field : fields) {
                char query[128];
                wsprintfA(query, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1], field.key);
                char* text = nullptr;
                if (VerQueryValueA(g_versionData, query, reinterpret_cast<void**>(&text), &length) && text)
                    lstrcpynA(field.target, text, 200);
            }
        }
    }
    Print("Version Information:\r\n");
    Print("   Company:    %s\r\n", company);
    Print("   Product:    %s\r\n", product);
    Print("   FileDesc:   %s\r\n", description);
    Print("   FileVer:    %d.%d.%d.%d\r\n", fileVersion[0], fileVersion[1], fileVersion[2], fileVersion[3]);
    Print("   ProdVer:    %d.%d.%d.%d\r\n", productVersion[0], productVersion[1], productVersion[2],
          productVersion[3]);
}

void PrintModule(int number, const BYTE* base, const IMAGE_NT_HEADERS& headers)
{
    if (!GetModuleFileNameA(reinterpret_cast<HMODULE>(const_cast<BYTE*>(base)), g_scratchPath, MAX_PATH))
        g_scratchPath[0] = '\0';
    Print("Module %d\r\n", number);
    Print("%s\r\n", g_scratchPath);
    Print("Image Base: 0x%08x%08x  Image Size: 0x%08x\r\n", High(headers.OptionalHeader.ImageBase),
          Low(headers.OptionalHeader.ImageBase), headers.OptionalHeader.SizeOfImage);
    Print("Checksum:   0x%08x  Time Stamp: 0x%08x\r\n", headers.OptionalHeader.CheckSum,
          headers.FileHeader.TimeDateStamp);

    DWORD fileSize = 0;
    FILETIME writeTime = {};
    const CHandle file(CreateFileA(g_scratchPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) {
        fileSize = GetFileSize(file, nullptr);
        GetFileTime(file, nullptr, nullptr, &writeTime);
    }
    Print("File Size:  %-10d  File Time:  %s\r\n", static_cast<int>(fileSize), FormatTime(writeTime));
    PrintVersionInformation(g_scratchPath);
    Print("\r\n");
}

// Walks the address space region by region; each new allocation that starts with an MS-DOS header
// and a PE signature is a loaded module.
void PrintModules()
{
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const auto limit = reinterpret_cast<ULONG_PTR>(system.lpMaximumApplicationAddress);
    ULONG_PTR address = 0;
    ULONG_PTR lastBase = 0;
    int number = 0;
    while (address < limit) {
        MEMORY_BASIC_INFORMATION info;
        if (!VirtualQuery(reinterpret_cast<const void*>(address), &info, sizeof(info))) {
            address += kSkipOnFailedQuery;
            continue;
        }
        const auto base = reinterpret_cast<ULONG_PTR>(info.AllocationBase);
        if (info.State == MEM_COMMIT && base > lastBase) {
            lastBase = base;
            IMAGE_DOS_HEADER dos;
            IMAGE_NT_HEADERS headers;
            if (ReadOwnMemory(info.AllocationBase, &dos, sizeof(dos)) && dos.e_magic == IMAGE_DOS_SIGNATURE &&
                dos.e_lfanew > 0 &&
                ReadOwnMemory(reinterpret_cast<const BYTE*>(base) + dos.e_lfanew, &headers, sizeof(headers)) &&
                headers.Signature == IMAGE_NT_SIGNATURE)
                PrintModule(++number, reinterpret_cast<const BYTE*>(base), headers);
        }
        const ULONG_PTR next = reinterpret_cast<ULONG_PTR>(info.BaseAddress) + info.RegionSize;
        address = next > address ? next : address + system.dwPageSize;
    }
}

void PrintReport(EXCEPTION_POINTERS* exception, const char* label)
{
    const EXCEPTION_RECORD* record = exception ? exception->ExceptionRecord : nullptr;
    const CONTEXT* context = exception ? exception->ContextRecord : nullptr;
    const DWORD code = record ? record->ExceptionCode : 0;
    Print("%s caused %s (0x%08x) \r\nin module %s at %04x:%08x%08x.\r\n\r\n", g_appName, GetExceptionDescription(code),
          code, ModuleOfAddress(record ? record->ExceptionAddress : nullptr), context ? context->SegCs : 0,
          High(context ? context->Rip : 0), Low(context ? context->Rip : 0));
    Print("Exception handler called in %s.\r\n", label ? label : "");
    PrintSystemBlock();
    if (record && code == EXCEPTION_ACCESS_VIOLATION && record->NumberParameters >= 2) {
        const ULONG64 location = record->ExceptionInformation[1];
        // The first parameter is 0 for a read, 1 for a write and 8 for an instruction fetch from
        // memory that may not run code.
        const ULONG_PTR access = record->ExceptionInformation[0];
        Print("%s location %08x%08x caused an access violation.\r\n",
              access == 8 ? "Execute at" : access ? "Write to" : "Read from", High(location), Low(location));
    }
    if (context) {
        PrintRegisters(*context);
        PrintCodeBytes(context->Rip);
        PrintStack(context->Rsp);
    }
    PrintModules();
    Print("\r\n===== [end of %s] =====\r\n", kReportName);
}

// The crash reporter beside the program, given the report's path in double quotes.
LONG StartCrashReporter()
{
    static char commandLine[3 * MAX_PATH];
    wsprintfA(commandLine, "%s%s \"%s\"", g_moduleFolder, kCrashReporterName, g_reportPath);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 0;
    // The reporter runs on its own; neither of its handles is needed.
    CHandle thread(process.hThread);
    CHandle reporter(process.hProcess);
    return 1;
}

bool IsCppRuntimeException(DWORD code)
{
    // "GCC " raised by a throw, and its unwind and forced-unwind companions.
    return code == kGccCppExceptionCode || code == kGccCppExceptionCode + 0x01000000 ||
           code == kGccCppExceptionCode + 0x02000000;
}

LONG WINAPI GuardFilter(EXCEPTION_POINTERS* exception)
{
    const DWORD code =
        exception && exception->ExceptionRecord ? exception->ExceptionRecord->ExceptionCode : 0;
    if (IsCppRuntimeException(code))
        return g_previousFilter ? g_previousFilter(exception) : EXCEPTION_CONTINUE_SEARCH;
    if (WriteExceptionReport(exception, g_guardLabel) == 1)
        ExitProcess(static_cast<UINT>(-1));
    return EXCEPTION_CONTINUE_SEARCH;
}

} // namespace

LONG WriteExceptionReport(EXCEPTION_POINTERS* exception, const char* label)
{
    if (InterlockedExchange(&g_reportWritten, 1) != 0)
        return 0;
    BuildNames();
    // The holder lives on the stack and closes without allocating, as everything in this handler.
    // A program folder too long for the report's path leaves the path empty: then no report.
    CHandle report(g_reportPath[0] == '\0'
                       ? INVALID_HANDLE_VALUE
                       : CreateFileA(g_reportPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr));
    if (!report) {
        OutputDebugStringA("Error creating exception report\r\n");
        return 0;
    }
    g_file = report;
    SetFilePointer(g_file, 0, nullptr, FILE_END);
    g_fill = 0;
    PrintReport(exception, label);
    FlushReport();
    g_file = INVALID_HANDLE_VALUE;
    report.Close();
    if (IsDebuggerPresent())
        return 0;
    return StartCrashReporter();
}

void InstallExceptionReportGuard(const char* label)
{
    g_guardLabel = label ? label : "";
    LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(&GuardFilter);
    if (previous != &GuardFilter)
        g_previousFilter = previous;
}

const char* GetExceptionDescription(DWORD code)
{
    struct Description {
        DWORD code;
        const char* text;
    };
    static const Description descriptions[] = {
        {0x40010005, "a Control-C"},
        {0x40010008, "a Control-Break"},
        {0x80000002, "a Datatype Misalignment"},
        {0x80000003, "a Breakpoint"},
        {0xC0000005, "an Access Violation"},
        {0xC0000006, "an In Page Error"},
        {0xC0000017, "a No Memory"},
        {0xC000001D, "an Illegal Instruction"},
        {0xC0000025, "a Noncontinuable Exception"},
        {0xC0000026, "an Invalid Disposition"},
        {0xC000008C, "a Array Bounds Exceeded"},
        {0xC000008D, "a Float Denormal Operand"},
        {0xC000008E, "a Float Divide by Zero"},
        {0xC000008F, "a Float Inexact Result"},
        {0xC0000090, "a Float Invalid Operation"},
        {0xC0000091, "a Float Overflow"},
        {0xC0000092, "a Float Stack Check"},
        {0xC0000093, "a Float Underflow"},
        {0xC0000094, "an Integer Divide by Zero"},
        {0xC0000095, "an Integer Overflow"},
        {0xC0000096, "a Privileged Instruction"},
        {0xC00000FD, "a Stack Overflow"},
        {0xC0000142, "a DLL Initialization Failed"},
        {0xE06D7363, "a Microsoft C++ Exception"},
        {kGccCppExceptionCode, "a GNU C++ Exception"},
    };
    for (const Description& description : descriptions) {
        if (description.code == code)
            return description.text;
    }
    return "an Unknown exception type";
}

const char* GetWindowsVersionName(const OSVERSIONINFOA& version, int& code)
{
    const DWORD build = version.dwBuildNumber & 0xFFFF;
    const DWORD major = version.dwMajorVersion;
    const DWORD minor = version.dwMinorVersion;
    auto named = [&code](int number, const char* name) {
        code = number;
        return name;
    };
    code = 0;
    if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && major == 4) {
        if (minor < 10) {
            if (build == 950)
                return named(1, "Windows 95");
            if (build > 950 && build <= 1080)
                return named(2, "Windows 95 SP1");
            if (build > 1080)
                return named(3, "Windows 95 OSR2");
        } else if (minor == 10) {
            if (build == 1998)
                return named(4, "Windows 98");
            if (build > 1998 && build < 2183)
                return named(5, "Windows 98 SP1");
            if (build >= 2183)
                return named(6, "Windows 98 SE");
        } else if (minor == 90) {
            return named(7, "Windows ME");
        }
    } else if (version.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        if (major == 3 && minor == 51)
            return named(101, "Windows NT 3.51");
        if (major == 4 && minor == 0)
            return named(102, "Windows NT 4");
        if (major == 5 && minor == 0)
            return named(103, "Windows 2000");
        if (major == 5 && minor == 1)
            return named(104, "Windows XP");
        if (major == 5 && minor == 2)
            return named(105, "Windows 2003 Server");
    } else if (version.dwPlatformId == kPlatformWindowsCe) {
        return named(201, "Windows CE");
    }
    return "unknown Windows version";
}
