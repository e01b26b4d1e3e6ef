// One package record of the catalogue. Held by value in lists and copied member-wise, so copies
// share the bundle list m_subPackages (owned by the application, released at the end of the run).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct _SoftMulti;

class CUpdateInfo {
public:
    CUpdateInfo() = default;

    // Every field back to its initial value; the bundle list is dropped, not deleted.
    void Reset() { *this = CUpdateInfo(); }

    std::wstring m_id;
    std::wstring m_title;
    std::wstring m_version;
    // The catalogue's UTC wall-clock times converted as local times (the selection converts the
    // current UTC wall clock the same way, so the two compare); 0 means absent.
    int64_t m_pubDate = 0;
    int64_t m_delDate = 0;  // offered only until this time
    std::wstring m_issUrl;
    std::wstring m_issUgUrl;
    std::wstring m_moduleUrl;
    std::wstring m_exclude;
    int64_t m_size = 0;
    int64_t m_installSize = 0;
    std::wstring m_installedPath;
    std::wstring m_packageFile;
    std::wstring m_issFile;
    std::wstring m_logFile;
    int m_installOk = 1;
    int64_t m_displaySize = 0;
    std::wstring m_targetMinVersion;
    std::wstring m_addPath;
    int m_packageCount = 1;
    std::vector<_SoftMulti>* m_subPackages = nullptr;
};

using CUpdateInfoList = std::vector<CUpdateInfo>;
