// Storing one log entry in the log file: the fields of section LOG and the entry line under the
// entry's history key. Two ways that leave the same bytes: one read and one rewrite of the file, or
// the ten profile writes the file format was made with (for text the first way does not take).
#pragma once
#include <memory>
#include <string>

struct LogEntryFields {
    std::wstring path, time, module, source, line, errorNumber, message;
    std::wstring entryLine;  // "#TIME|WORD|MODULE|SOURCE|LINE|ERRNO|message#"
};

// The counter after the stored one: 1 to 10,000, then 1 again.
unsigned NextLogCounter(unsigned storedCounter);

// A buffer that keeps its memory for the next use and is not zeroed: the system fills it.
template <class T>
struct Buffer {
    std::unique_ptr<T[]> data;
    size_t size = 0;
    size_t capacity = 0;
    void Allocate(size_t count) {
        if (count > capacity) {
            data.reset(new T[count]);
            capacity = count;
        }
        size = count;
    }
};

// The megabyte-sized buffers of one rewrite, kept from entry to entry: fresh memory of that size
// costs more in page faults than reading, changing and writing the file.
struct LogScratch {
    Buffer<char> fileBytes;
    Buffer<wchar_t> text;
    Buffer<char> written;
};

// The entry in one read and one write of the file. FALSE (nothing written) when the file is not in
// the form the profile functions write back, or cannot be read or written whole.
bool WriteLogEntryInOneRewrite(const std::wstring& logPath, const LogEntryFields& entry, LogScratch& scratch);

// The entry through the profile functions, one write per key.
void WriteLogEntryWithProfileFunctions(const std::wstring& logPath, const LogEntryFields& entry);
