#include "install/ShellSession.h"

#include <shlobj.h>

namespace {

BOOL SystemIsUserAnAdmin() { return IsUserAnAdmin(); }
HWND SystemShellWindow() { return GetShellWindow(); }

const ShellSessionQueries kSystemQueries = {SystemIsUserAnAdmin, SystemShellWindow};
// Only tests ever point this elsewhere; the program always runs with the system's answers.
ShellSessionQueries g_queries = kSystemQueries;

}  // namespace

const ShellSessionQueries& CurrentShellSessionQueries() { return g_queries; }

void ReplaceShellSessionQueries(const ShellSessionQueries* queries) { g_queries = queries ? *queries : kSystemQueries; }
