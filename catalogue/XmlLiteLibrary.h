// The platform's XML pull reader, bound at run time: the tool chain has no import library for it.
// Objects created through it must be released before this object unloads the library.
#pragma once
#include <windows.h>
#include <objidl.h>
#include <xmllite.h>

class CXmlLiteLibrary {
public:
    CXmlLiteLibrary() = default;
    ~CXmlLiteLibrary();
    CXmlLiteLibrary(const CXmlLiteLibrary&) = delete;
    CXmlLiteLibrary& operator=(const CXmlLiteLibrary&) = delete;

    // A reader with default properties (no allocator), or the failure as HRESULT. Loads the
    // library on first use.
    HRESULT CreateReader(IXmlReader** reader);
    // An input over the stream read with the named encoding, encoding hint FALSE, no base URI.
    HRESULT CreateInputWithEncodingName(IUnknown* stream, const wchar_t* encodingName, IUnknown** input);

private:
    typedef HRESULT(WINAPI* PFN_CreateXmlReader)(REFIID iid, void** object, IMalloc* malloc);
    typedef HRESULT(WINAPI* PFN_CreateXmlReaderInputWithEncodingName)(IUnknown* stream, IMalloc* malloc,
                                                                       LPCWSTR encoding, BOOL hint,
                                                                       LPCWSTR baseUri, IUnknown** input);

    // Resolves one export into *function; the failure as HRESULT.
    HRESULT Resolve(const char* name, FARPROC* function);

    HMODULE m_library = nullptr;
};
