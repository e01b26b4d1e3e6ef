#include "catalogue/XmlLiteLibrary.h"

#include "framework/SystemLibrary.h"

namespace {

// Defined here because the tool chain ships no library that holds it.
const IID XML_READER_IID = {0x7279FC81, 0x709D, 0x4095, {0xB6, 0x3D, 0x69, 0xFE, 0x4B, 0x0D, 0x90, 0x30}};

HRESULT LastErrorResult() {
    const DWORD error = GetLastError();
    return error == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(error);
}

}  // namespace

CXmlLiteLibrary::~CXmlLiteLibrary() {
    if (m_library != nullptr) FreeLibrary(m_library);
}

HRESULT CXmlLiteLibrary::Resolve(const char* name, FARPROC* function) {
    *function = nullptr;
    if (m_library == nullptr) {
        m_library = fw::LoadSystemLibrary(L"xmllite.dll");
        if (m_library == nullptr) return LastErrorResult();
    }
    *function = GetProcAddress(m_library, name);
    return *function != nullptr ? S_OK : LastErrorResult();
}

HRESULT CXmlLiteLibrary::CreateReader(IXmlReader** reader) {
    *reader = nullptr;
    FARPROC function;
    HRESULT hr = Resolve("CreateXmlReader", &function);
    if (FAILED(hr)) return hr;
    return reinterpret_cast<PFN_CreateXmlReader>(function)(XML_READER_IID, reinterpret_cast<void**>(reader),
                                                           nullptr);
}

HRESULT CXmlLiteLibrary::CreateInputWithEncodingName(IUnknown* stream, const wchar_t* encodingName,
                                                     IUnknown** input) {
    *input = nullptr;
    FARPROC function;
    HRESULT hr = Resolve("CreateXmlReaderInputWithEncodingName", &function);
    if (FAILED(hr)) return hr;
    return reinterpret_cast<PFN_CreateXmlReaderInputWithEncodingName>(function)(stream, nullptr, encodingName,
                                                                                FALSE, nullptr, input);
}
