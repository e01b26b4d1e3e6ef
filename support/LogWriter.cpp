#include "support/LogWriter.h"

#include <windows.h>

#include <cwchar>
#include <memory>
#include <vector>

#include "support/IniText.h"

namespace {

const unsigned kMaxHistoryEntries = 10000;

std::wstring HistoryKey(unsigned counter) {
    wchar_t key[16];
    swprintf(key, 16, L"L%02u", counter);
    return key;
}

std::wstring CounterText(unsigned counter) {
    wchar_t text[16];
    swprintf(text, 16, L"%u", counter);
    return text;
}

// The whole file's bytes; an absent file reads as empty. FALSE when it cannot be read whole.
bool ReadWholeFile(const std::wstring& path, Buffer<char>& bytes) {
    bytes.Allocate(0);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    LARGE_INTEGER size = {};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart < 0x10000000;
    if (ok) {
        bytes.Allocate(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = bytes.size == 0 ||
             (ReadFile(file, bytes.data.get(), static_cast<DWORD>(bytes.size), &read, nullptr) && read == bytes.size);
    }
    CloseHandle(file);
    return ok;
}

bool WriteWholeFile(const std::wstring& path, const char* bytes, size_t size) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = size == 0 || (WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr) && written == size);
    CloseHandle(file);
    return ok;
}

// The profile functions keep a file without byte-order mark in the ANSI code page.
bool HasByteOrderMark(const Buffer<char>& bytes) {
    auto at = [&](size_t i) { return static_cast<unsigned char>(bytes.data[i]); };
    if (bytes.size >= 2 && ((at(0) == 0xFF && at(1) == 0xFE) || (at(0) == 0xFE && at(1) == 0xFF))) return true;
    return bytes.size >= 3 && at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF;
}

bool FromAnsi(const Buffer<char>& bytes, Buffer<wchar_t>& text) {
    text.Allocate(0);
    if (bytes.size == 0) return true;
    const int size = MultiByteToWideChar(CP_ACP, 0, bytes.data.get(), static_cast<int>(bytes.size), nullptr, 0);
    if (size <= 0) return false;
    text.Allocate(static_cast<size_t>(size));
    return MultiByteToWideChar(CP_ACP, 0, bytes.data.get(), static_cast<int>(bytes.size), text.data.get(), size) == size;
}

// The pieces in the ANSI code page, one after the other, as the profile functions store them.
bool ToAnsi(const std::vector<CIniText::Piece>& pieces, Buffer<char>& bytes) {
    size_t total = 0;
    for (const CIniText::Piece& piece : pieces) {
        if (piece.length == 0) continue;
        const int size = WideCharToMultiByte(CP_ACP, 0, piece.text, static_cast<int>(piece.length), nullptr, 0,
                                             nullptr, nullptr);
        if (size <= 0) return false;
        total += static_cast<size_t>(size);
    }
    bytes.Allocate(total);
    size_t at = 0;
    for (const CIniText::Piece& piece : pieces) {
        if (piece.length == 0) continue;
        at += static_cast<size_t>(WideCharToMultiByte(CP_ACP, 0, piece.text, static_cast<int>(piece.length),
                                                      bytes.data.get() + at, static_cast<int>(total - at), nullptr,
                                                      nullptr));
    }
    return at == total;
}

// As the profile functions read an integer: the leading decimal number, 0 when there is none.
unsigned StoredCounter(const std::wstring* value) {
    if (!value || value->empty()) return 0;
    return static_cast<unsigned>(wcstol(value->c_str(), nullptr, 10));
}

}  // namespace

unsigned NextLogCounter(unsigned storedCounter) {
    return storedCounter < kMaxHistoryEntries ? storedCounter + 1 : 1;
}

bool WriteLogEntryInOneRewrite(const std::wstring& logPath, const LogEntryFields& entry, LogScratch& scratch) {
    Buffer<char>& bytes = scratch.fileBytes;
    Buffer<wchar_t>& text = scratch.text;
    if (!ReadWholeFile(logPath, bytes) || HasByteOrderMark(bytes)) return false;
    CIniText ini;
    if (!FromAnsi(bytes, text) || !ini.Parse(text.data.get(), text.size)) return false;
    const unsigned counter = NextLogCounter(StoredCounter(ini.Find(L"LOG", L"CNT")));
    const std::wstring key = HistoryKey(counter);
    ini.Set(L"LOG", L"PATH", entry.path);
    ini.Set(L"LOG", L"TIME", entry.time);
    ini.Set(L"LOG", L"MODULE", entry.module);
    ini.Set(L"LOG", L"SOURCE", entry.source);
    ini.Set(L"LOG", L"LINE", entry.line);
    ini.Set(L"LOG", L"ERRNO", entry.errorNumber);
    ini.Set(L"LOG", L"ERRSTR", entry.message);
    ini.Set(L"LOG", L"CNT", CounterText(counter));
    ini.Set(L"LOG", L"HIST", key);
    ini.Set(L"HIST", key, entry.entryLine);
    Buffer<char>& written = scratch.written;
    return ToAnsi(ini.Pieces(), written) && WriteWholeFile(logPath, written.data.get(), written.size);
}

void WriteLogEntryWithProfileFunctions(const std::wstring& logPath, const LogEntryFields& entry) {
    const wchar_t* file = logPath.c_str();
    const unsigned counter = NextLogCounter(static_cast<unsigned>(GetPrivateProfileIntW(L"LOG", L"CNT", 0, file)));
    const std::wstring key = HistoryKey(counter);
    // Failed writes are ignored: the log never reports its own failures.
    WritePrivateProfileStringW(L"LOG", L"PATH", entry.path.c_str(), file);
    WritePrivateProfileStringW(L"LOG", L"TIME", entry.time.c_str(), file);
    WritePrivateProfileStringW(L"LOG", L"MODULE", entry.module.c_str(), file);
    WritePrivateProfileStringW(L"LOG", L"SOURCE", entry.source.c_str(), file);
    WritePrivateProfileStringW(L"LOG", L"LINE", entry.line.c_str(), file);
    WritePrivateProfileStringW(L"LOG", L"ERRNO", entry.errorNumber.c_str(), file);
    WritePrivateProfileStringW(L"LOG", L"ERRSTR", entry.message.c_str(), file);
    WritePrivateProfileStringW(L"LOG", L"CNT", CounterText(counter).c_str(), file);
    WritePrivateProfileStringW(L"LOG", L"HIST", key.c_str(), file);
    WritePrivateProfileStringW(L"HIST", key.c_str(), entry.entryLine.c_str(), file);
}
