// At exit every collected download-count entry is posted to the download-count service, and the
// service's answer is checked. Nothing here reaches the user or changes the exit code.
#include "app/VTInst.h"

#include "catalogue/ComRef.h"
#include "catalogue/FileStream.h"
#include "catalogue/XmlLiteLibrary.h"
#include "download/HttpDownload.h"
#include "framework/StringFormat.h"
#include "support/FileOps.h"
#include "support/Log.h"

namespace {

const size_t LONGEST_ANSWER_PATH = 256;

void LogAnswerError(const wchar_t* what, DWORD code) {
    LOG_ERROR(fw::Format(L"Error::CVTInstApp::CheckDownloadCountResult:%sGetLastError code is:%lu", what, code).c_str());
}

}  // namespace

int CVTInstApp::ExitInstance() {
    LOG_INFO(L"Start:CVTInstApp::ExitInstance");
    if (!m_arrDownloadCountInfo.empty()) SendDownloadCounts();
    for (CUpdateInfo& record : m_updateList) record.Reset();
    HINSTANCE languageModule = fw::GetResourceModule();
    if (languageModule && languageModule != GetModuleHandleW(nullptr)) {
        fw::SetResourceModule(GetModuleHandleW(nullptr));
        FreeLibrary(languageModule);
    }
    const int result = fw::CAppBase::ExitInstance();
    LOG_INFO(L"End  :CVTInstApp::ExitInstance");
    return result;
}

void CVTInstApp::SendDownloadCounts() {
    const std::wstring answer = fw::Format(L"%s%s", GetSavePath().c_str(), L"DownloadCount.xml");
    if (answer.size() > LONGEST_ANSWER_PATH)
        LOG_ERROR(L"Error:CVTInstApp::ExitInstance:The path of download file is too long.");
    LOG_INFO((L"Info :CHttpDownLoad::SendMsgToInternetDetail:download file save path is " + answer).c_str());
    for (const std::wstring& entry : m_arrDownloadCountInfo) {
        // Each answer is read fresh: an earlier one must not pass for it.
        if (FileExists(answer)) DeleteFileWithRetry(answer);
        int result = CHttpDownLoad::SendMsgToInternetDetail(entry, answer);
        if (result == DL_ERR_CONNECT || result == DL_ERR_FILE) {
            for (int retry = 0; retry < m_nDownRetryCount && result != DL_SUCCESS; ++retry) {
                Sleep(static_cast<DWORD>(m_nDownRetrySleep));
                result = CHttpDownLoad::SendMsgToInternetDetail(entry, answer);
            }
        }
        if (result != DL_SUCCESS) {
            LOG_ERROR(L"Error:CVTInstApp::ExitInstance:Send download infomation fail.");
            continue;
        }
        if (!CheckDownloadCountResult(answer)) LOG_ERROR(L"Error:CVTInstApp::ExitInstance:ParseXml fail or send NG.");
    }
}

int CVTInstApp::CheckDownloadCountResult(const std::wstring& answerPath) {
    LOG_INFO(L"Start:CVTInstApp::CheckDownloadCountResult");
    const int ok = ReadDownloadCountAnswer(answerPath);
    LOG_INFO(L"End  :CVTInstApp::CheckDownloadCountResult");
    return ok;
}

// 1 when the answer's return_info says exactly OK.
int CVTInstApp::ReadDownloadCountAnswer(const std::wstring& answerPath) {
    // Declared first so the library is unloaded only after every object made by it is released.
    CXmlLiteLibrary xmlLite;
    ComRef<IStream> stream;
    if (FAILED(FileStream::OpenFile(answerPath.c_str(), stream.Out()))) {
        if (const DWORD error = GetLastError())
            LOG_ERROR(fw::Format(L"Error::CVTInstApp::CheckDownloadCountResult:[FileStream::OpenFile] failed.GetLastError code is:%lu",
                                 error).c_str());
        return 0;
    }
    ComRef<IXmlReader> reader;
    if (FAILED(xmlLite.CreateReader(reader.Out()))) {
        LogAnswerError(L"CreateXmlReader failed.", GetLastError());
        return 0;
    }
    ComRef<IUnknown> input;
    if (FAILED(xmlLite.CreateInputWithEncodingName(stream.Get(), L"utf-8", input.Out()))) {
        LogAnswerError(L"CreateXmlReaderInputWithEncodingName failed.", GetLastError());
        return 0;
    }
    if (FAILED(reader->SetInput(input.Get()))) {
        LogAnswerError(L"pReader->SetInput failed.", GetLastError());
        return 0;
    }
    bool inside = false;
    for (;;) {
        XmlNodeType type = XmlNodeType_None;
        if (reader->Read(&type) != S_OK) {
            // Also the end of the document before an OK.
            LogAnswerError(L"pReader->Read failed,", GetLastError());
            return 0;
        }
        if (type == XmlNodeType_Element || type == XmlNodeType_EndElement) {
            const wchar_t* name = nullptr;
            if (FAILED(reader->GetLocalName(&name, nullptr)) || !name) {
                LogAnswerError(L"pReader->GetLocalName failed,", GetLastError());
                return 0;
            }
            if (wcscmp(name, L"return_info") == 0) inside = type == XmlNodeType_Element;
        } else if (inside && (type == XmlNodeType_Text || type == XmlNodeType_Whitespace)) {
            const wchar_t* value = nullptr;
            if (FAILED(reader->GetValue(&value, nullptr)) || !value) {
                LogAnswerError(L"pReader->GetValue failed,", GetLastError());
                return 0;
            }
            if (wcscmp(value, L"OK") == 0) return 1;
            LOG_ERROR((std::wstring(L"Error::CVTInstApp::CheckDownloadCountResult:The return_info from server is not [OK]. code=") +
                       value).c_str());
            return 0;
        }
    }
}
