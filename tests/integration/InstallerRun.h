// Runs the real VTInst.exe under Wine from a prepared folder with a private temporary folder,
// answers every message box it shows and keeps what the boxes said.
#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/support/LogFile.h"
#include "tests/support/MessageBoxWatcher.h"
#include "tests/support/PageDriver.h"
#include "tests/support/ScopedTempFolder.h"

namespace vttest {

// A complete, valid configuration; tests change single lines of it.
std::string ValidConfiguration(const std::string& catalogueUrl = "http://127.0.0.1:9/VTInst.xml");

class InstallerRun {
public:
    // Copies VTInst.exe and the OCR support stand-in into <root>\app.
    InstallerRun();
    InstallerRun(const InstallerRun&) = delete;
    InstallerRun& operator=(const InstallerRun&) = delete;

    const std::wstring& AppFolder() const { return m_app; }
    const std::wstring& TempFolder() const { return m_temp; }
    LogFile Log() const { return LogFile::InFolder(m_temp); }
    void WriteConfiguration(const std::string& text);
    // Replaces the OCR support library with the stand-in that lacks one export, or removes it.
    void UsePartialOcrLibrary();
    void RemoveOcrLibrary();
    // An environment variable for the program (besides TMP and TEMP).
    void SetEnvironment(const std::wstring& name, const std::wstring& value) { m_environment[name] = value; }
    // Starts the program from another folder that holds the same files (the app folder by default).
    void RunFrom(const std::wstring& folder) { m_runFolder = folder; }

    // Starts the program, presses `button` on every box it shows, waits for it to end.
    // Returns false when it did not end within the timeout (it is killed then).
    bool Run(const std::wstring& arguments = L"", int button = IDOK, DWORD timeoutMs = 90000);

    // Interactive runs, for the wizard: start, then answer boxes and drive pages step by step.
    bool Start(const std::wstring& arguments = L"");
    // Answers every box with `button` (kept in Boxes()) until a page with the control appears.
    bool WaitForPage(int controlId, PageInfo& page, DWORD timeoutMs = 60000, int button = IDOK);
    // The next box, recorded and answered with `button`.
    bool AnswerBox(int button, MessageBoxInfo& box, DWORD timeoutMs = 30000);
    // Answers every further box with `button` until the program ends; false when it did not end
    // (it is killed then).
    bool Finish(int button = IDOK, DWORD timeoutMs = 60000);
    DWORD ProcessId() const { return m_program ? m_program->Id() : 0; }
    // Ends the program where it stands.
    void Stop() {
        if (m_program) m_program->Kill();
    }

    const std::vector<MessageBoxInfo>& Boxes() const { return m_boxes; }
    DWORD ExitCode() const { return m_exitCode; }

private:
    ScopedTempFolder m_root;
    std::wstring m_app;
    std::wstring m_temp;
    std::wstring m_runFolder;
    std::map<std::wstring, std::wstring> m_environment;
    std::vector<MessageBoxInfo> m_boxes;
    std::unique_ptr<ChildProcess> m_program;
    DWORD m_exitCode = 0;
};

}  // namespace vttest
