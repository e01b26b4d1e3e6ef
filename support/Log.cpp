#include "support/Log.h"

#include <windows.h>

#include <cwchar>
#include <cwctype>
#include <ctime>
#include <string>

#include "support/LogWriter.h"

namespace {

// Serialises whole WriteLog calls within the process. A critical section, which Windows XP has
// (SRW locks it has not). Constructed before every static object of default priority, theApp
// included, so any constructor may log. Never deleted: a thread may still log while the process
// ends, and the system frees it with the process. Nothing below logs, so it is never re-entered.
class LogLock {
public:
    LogLock() { InitializeCriticalSection(&m_section); }
    LogLock(const LogLock&) = delete;
    LogLock& operator=(const LogLock&) = delete;
    void Enter() { EnterCriticalSection(&m_section); }
    void Leave() { LeaveCriticalSection(&m_section); }

private:
    CRITICAL_SECTION m_section;
};

LogLock g_logLock __attribute__((init_priority(101)));
// Used only under the lock. Constructed with it, never destroyed (a thread may log while the
// process ends).
LogScratch& Scratch() {
    static LogScratch* scratch = new LogScratch();
    return *scratch;
}

class LogLockGuard {
public:
    LogLockGuard() { g_logLock.Enter(); }
    ~LogLockGuard() { g_logLock.Leave(); }
    LogLockGuard(const LogLockGuard&) = delete;
    LogLockGuard& operator=(const LogLockGuard&) = delete;
};

const wchar_t kLogFileName[] = L"VtDownLoadInst.log";
const size_t kEntryLineCapacity = 33288;  // characters, terminator included
const size_t kPathCapacity = 260;

const wchar_t* LevelWord(int level) {
    switch (level) {
        case 1: return L"EROR";
        case 2: return L"WARN";
        case 3: return L"INFO";
        default: return nullptr;
    }
}

// One entry is one line of the file: a line break inside a field would start lines (and INI
// sections and keys) of its own.
std::wstring OnOneLine(std::wstring text) {
    for (wchar_t& c : text) {
        if (c == L'\r' || c == L'\n') c = L' ';
    }
    return text;
}

std::wstring Trimmed(const wchar_t* text) {
    if (!text) return std::wstring();
    const wchar_t* begin = text;
    while (*begin && iswspace(*begin)) ++begin;
    const wchar_t* end = begin + wcslen(begin);
    while (end > begin && iswspace(end[-1])) --end;
    return std::wstring(begin, end);
}

// The last path component, cut to what a 260-character buffer holds.
std::wstring SourceName(const wchar_t* sourceFile) {
    if (!sourceFile) return std::wstring();
    const wchar_t* slash = wcsrchr(sourceFile, L'\\');
    std::wstring name = slash ? slash + 1 : sourceFile;
    if (name.size() > kPathCapacity - 1) name.resize(kPathCapacity - 1);
    return name;
}

std::wstring LocalTimeText() {
    time_t now = time(nullptr);
    struct tm local = {};
    if (now == static_cast<time_t>(-1) || localtime_s(&local, &now) != 0)
        return L"0000/00/00 00:00:00";
    wchar_t text[64];
    swprintf(text, 64, L"%04d/%02d/%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
             local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

// "#TIME|WORD|MODULE|SOURCE|LINE|ERRNO|message#". An over-long message is cut so that the whole
// line, closing '#' included, fits the entry buffer.
std::wstring EntryLine(const std::wstring& time, const wchar_t* word, const std::wstring& module,
                       const std::wstring& source, const std::wstring& line, const std::wstring& errorNumber,
                       const std::wstring& message) {
    std::wstring entry = L"#" + time + L"|" + word + L"|" + module + L"|" + source + L"|" + line + L"|" +
                         errorNumber + L"|";
    const size_t room = kEntryLineCapacity - 1;  // without the terminator
    if (entry.size() + 1 > room) entry.resize(room - 1);
    entry.append(message, 0, room - 1 - entry.size());
    entry += L"#";
    return entry;
}

}  // namespace

extern "C" __declspec(dllexport) void __cdecl WriteLog(const wchar_t* module, const wchar_t* sourceFile,
                                                       int line, int errorNumber, const wchar_t* message,
                                                       int level, int /*reserved*/) {
    const wchar_t* word = LevelWord(level);
    if (!word) return;

    LogLockGuard lock;

    const std::wstring text = OnOneLine(Trimmed(message));

    wchar_t programPath[kPathCapacity] = {};
    DWORD programLength = GetModuleFileNameW(nullptr, programPath, kPathCapacity);
    if (programLength == 0) return;

    std::wstring time = LocalTimeText();
    const std::wstring source = OnOneLine(SourceName(sourceFile));
    const std::wstring moduleText = OnOneLine(module ? module : L"");

    wchar_t lineText[64];
    wchar_t errorText[64];
    swprintf(lineText, 64, L"%dL", line);
    swprintf(errorText, 64, L"%d", errorNumber);

    std::wstring entry = EntryLine(time, word, moduleText, source, lineText, errorText, text);

    // A temporary folder that leaves no room for the file name drops the entry: a cut path would
    // write the log somewhere else.
    wchar_t logPath[kPathCapacity] = {};
    DWORD tempLength = GetTempPathW(kPathCapacity, logPath);
    if (tempLength == 0 || tempLength + wcslen(kLogFileName) >= kPathCapacity) return;
    wcscat(logPath, kLogFileName);

    LogEntryFields fields{programPath, time, moduleText, source, lineText, errorText, text, entry};
    // One read and one rewrite of the file; text in a form that way does not take (written by hand,
    // say) goes through the profile functions, which leave it in that form for the next entry.
    if (!WriteLogEntryInOneRewrite(logPath, fields, Scratch())) WriteLogEntryWithProfileFunctions(logPath, fields);
}
