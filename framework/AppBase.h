// Application object base: the program's entry point hands control to the one derived object,
// which runs its whole life in InitInstance; the exit code is ExitInstance's result.
#pragma once
#include <windows.h>

namespace fw {

class CAppBase {
public:
    CAppBase();
    virtual ~CAppBase();
    CAppBase(const CAppBase&) = delete;
    CAppBase& operator=(const CAppBase&) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }

    // Standard help command (id 57670): opens the help file named by m_pszHelpFilePath.
    virtual void OnHelp();

    // Runs the application: InitInstance, then (there is never a main window) ExitInstance.
    int Run(HINSTANCE instance, const wchar_t* commandLine);

    // The one application object of the process, or null before it is constructed.
    static CAppBase* Current();

    HINSTANCE m_hInstance;
    const wchar_t* m_lpCmdLine;
    // Heap copy owned by the application (allocated with malloc); replaced by the start-up sequence.
    wchar_t* m_pszHelpFilePath;
};

// Module whose resources (strings, dialogs) the program uses; the program itself unless a
// language module was chosen.
HINSTANCE GetResourceModule();
void SetResourceModule(HINSTANCE module);

}  // namespace fw

enum { ID_HELP_COMMAND = 57670 };
