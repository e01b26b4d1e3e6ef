// One package of a bundle record: the record's own package or one attached to it. Held by value
// and copied member-wise; the download thread fills the local file fields, the install thread
// the outcome.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct _SoftMulti {
    std::wstring m_id;
    std::wstring m_version;
    int64_t m_size = 0;
    std::wstring m_moduleUrl;
    std::wstring m_issUrl;
    std::wstring m_packageFile;
    std::wstring m_logFile;
    int m_installOk = 1;
    std::wstring m_issFile;
};

using CSoftMultiList = std::vector<_SoftMulti>;
