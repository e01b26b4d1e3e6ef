#include "catalogue/CatalogueParser.h"

#include <array>
#include <cstdint>

#include "app/VTInst.h"
#include "catalogue/CatalogueValues.h"
#include "catalogue/ComRef.h"
#include "catalogue/FileStream.h"
#include "catalogue/XmlDocumentEnd.h"
#include "catalogue/XmlLiteLibrary.h"
#include "support/Log.h"
#include "support/TextTests.h"

namespace {

// Everything a text node can be assigned to. A text goes to the first raised target in this order.
enum Target {
    TARGET_ID,
    TARGET_TITLE_DEFAULT,
    TARGET_TITLE_LANGUAGE,
    TARGET_VERSION,
    TARGET_PUB_DATE,
    TARGET_DEL_DATE,
    TARGET_LICENSE_DEFAULT,
    TARGET_LICENSE_LANGUAGE,
    TARGET_ISS,
    TARGET_ISS_UG,
    TARGET_MODULE_DEFAULT,
    TARGET_MODULE_LANGUAGE,
    TARGET_EXCLUDE,
    TARGET_SETUP_TYPE,
    TARGET_AUTH,
    TARGET_VTINST,
    TARGET_MODEL,
    TARGET_ABBYY_VERSION,
    TARGET_HOMEIF_VERSION,
    TARGET_COUNT
};

// Elements without attributes of interest: their start raises one target, their end lowers it.
struct PlainElement {
    const wchar_t* name;
    Target target;
};
const PlainElement PLAIN_ELEMENTS[] = {
    {L"id", TARGET_ID},
    {L"gmt_pubDate", TARGET_PUB_DATE},
    {L"gmt_delDate", TARGET_DEL_DATE},
    {L"iss", TARGET_ISS},
    {L"iss_ug", TARGET_ISS_UG},
    {L"exclude", TARGET_EXCLUDE},
    {L"setupType", TARGET_SETUP_TYPE},
    {L"auth", TARGET_AUTH},
    {L"vtinst", TARGET_VTINST},
    {L"model", TARGET_MODEL},
    {L"abbyyVersion", TARGET_ABBYY_VERSION},
    {L"homeifversion", TARGET_HOMEIF_VERSION},
};

const wchar_t NO_TARGET_MIN_VERSION[] = L"-1.-1.-1.-1";
const wchar_t LOWEST_HOMEIF_VERSION[] = L"1.8.0";
const wchar_t SOFT_VERSION_ERROR[] = L"Error:CVTInstApp::CreateUpdateInfoList:soft version is ";


struct HeldModule {
    std::wstring location;
    int64_t size = 0;
    int64_t installSize = 0;
};

class CCatalogueReader {
public:
    CCatalogueReader(CVTInstApp& app, const std::wstring& languageCode) : m_app(app), m_languageCode(languageCode) {}

    BOOL Read(const std::wstring& path);

private:
    // FALSE (logged as a reader error) when the reader hands out the node it handed out last, or
    // when the document's root is not the element the file ends by closing.
    bool FollowStructure(IXmlReader* reader, XmlNodeType nodeType);
    bool OnElementStart(IXmlReader* reader);
    bool OnText(const std::wstring& value);
    bool OnElementEnd(IXmlReader* reader);
    // title and license: a marked element counts only in the chosen language; the first unmarked
    // one is the fallback.
    void StartLanguageChoice(IXmlReader* reader, const std::wstring& heldDefault, Target defaultTarget,
                             Target languageTarget);
    void StartVersion(IXmlReader* reader);
    void StartModule(IXmlReader* reader);
    bool AssignDocumentExclude(const std::wstring& value);
    void FinishItem();
    BOOL FinishDocument();

    // Calls onAttribute(name, value) for each attribute the document itself carries. A name or
    // value that cannot be read ends the walk (logged). TRUE when the element has attributes.
    template <class OnAttribute>
    bool WalkAttributes(IXmlReader* reader, OnAttribute onAttribute);

    void Raise(Target target) { m_raised[target] = true; }
    void Lower(Target target) { m_raised[target] = false; }

    CVTInstApp& m_app;
    const std::wstring m_languageCode;

    std::wstring m_closingRoot;  // the name of the file's last end tag
    bool m_rootSeen = false;
    unsigned m_depth = 0;  // open elements
    struct NodePlace {
        XmlNodeType type = XmlNodeType_None;
        UINT line = 0;
        UINT position = 0;
    } m_lastNode;

    std::array<bool, TARGET_COUNT> m_raised = {};
    bool m_inItem = false;
    bool m_inHomeSection = false;

    CUpdateInfo m_item;
    std::wstring m_defaultTitle;
    std::wstring m_languageTitle;
    HeldModule m_defaultModule;
    HeldModule m_languageModule;
    int64_t m_pendingSize = 0;
    int64_t m_pendingInstallSize = 0;

    std::wstring m_setupType;
    std::wstring m_auth;
    std::wstring m_homeAuth;
    std::wstring m_stateFileUrl;
    std::wstring m_model;
    std::wstring m_ocrEngineVersion;
    std::wstring m_homeIfVersion;
    std::wstring m_defaultLicense;
    std::wstring m_languageLicense;
};

bool ReadLocalName(IXmlReader* reader, std::wstring& name) {
    const wchar_t* text = nullptr;
    UINT length = 0;
    const HRESULT hr = reader->GetLocalName(&text, &length);
    if (FAILED(hr)) {
        LOG_ERROR_CODE(hr, L"Error::CVTInstApp::CreateUpdateInfoList:pReader->GetLocalName failed");
        return false;
    }
    name.assign(text, length);
    return true;
}

bool ReadValue(IXmlReader* reader, std::wstring& value) {
    const wchar_t* text = nullptr;
    UINT length = 0;
    const HRESULT hr = reader->GetValue(&text, &length);
    if (FAILED(hr)) {
        LOG_ERROR_CODE(hr, L"Error::CVTInstApp::CreateUpdateInfoList:pReader->GetValue failed");
        return false;
    }
    value.assign(text, length);
    return true;
}

const PlainElement* FindPlainElement(const std::wstring& name) {
    for (const PlainElement& element : PLAIN_ELEMENTS) {
        if (name == element.name) return &element;
    }
    return nullptr;
}

template <class OnAttribute>
bool CCatalogueReader::WalkAttributes(IXmlReader* reader, OnAttribute onAttribute) {
    HRESULT hr = reader->MoveToFirstAttribute();
    const bool hasAttributes = hr == S_OK;
    for (; hr == S_OK; hr = reader->MoveToNextAttribute()) {
        if (reader->IsDefault()) continue;
        std::wstring name;
        std::wstring value;
        if (!ReadLocalName(reader, name) || !ReadValue(reader, value)) break;
        onAttribute(name, value);
    }
    return hasAttributes;
}

BOOL CCatalogueReader::Read(const std::wstring& path) {
    // Declared first so the library is unloaded only after every object made by it is released.
    CXmlLiteLibrary xmlLite;

    ComRef<IStream> stream;
    HRESULT hr = FileStream::OpenFile(path.c_str(), stream.Out());
    if (FAILED(hr)) {
        LOG_ERROR_CODE(hr, L"Error::CVTInstApp::CreateUpdateInfoList:[FileStream::OpenFile] failed");
        return FALSE;
    }
    // A file cut short is refused before the reader sees it: the reader may take it as whole, loop on
    // it or end the process.
    if (!FindClosingRootName(path, m_closingRoot)) {
        LOG_ERROR_CODE(static_cast<HRESULT>(MX_E_INPUTEND), L"Error::CVTInstApp::CreateUpdateInfoList:pReader->Read failed");
        return FALSE;
    }
    ComRef<IXmlReader> reader;
    hr = xmlLite.CreateReader(reader.Out());
    if (FAILED(hr)) {
        LOG_ERROR_CODE(hr, L"Error::CVTInstApp::CreateUpdateInfoList:CreateXmlReader failed");
        return FALSE;
    }
    ComRef<IUnknown> input;
    hr = xmlLite.CreateInputWithEncodingName(stream.Get(), L"utf-8", input.Out());
    if (FAILED(hr)) {
        LOG_ERROR_CODE(hr, L"Error::CVTInstApp::CreateUpdateInfoList:CreateXmlReaderInputWithEncodingName failed");
        return FALSE;
    }
    hr = reader->SetInput(input.Get());
    if (FAILED(hr)) {
        LOG_ERROR_CODE(hr, L"Error::CVTInstApp::CreateUpdateInfoList:pReader->SetInput failed");
        return FALSE;
    }

    for (;;) {
        XmlNodeType nodeType = XmlNodeType_None;
        hr = reader->Read(&nodeType);
        if (hr == S_FALSE && m_rootSeen && m_depth == 0) break;
        if (hr == S_FALSE) hr = static_cast<HRESULT>(MX_E_INPUTEND);  // ended inside the root, or before it
        if (hr != S_OK) {
            LOG_ERROR_CODE(hr, L"Error::CVTInstApp::CreateUpdateInfoList:pReader->Read failed");
            return FALSE;
        }
        if (!FollowStructure(reader.Get(), nodeType)) return FALSE;
        bool goOn = true;
        switch (nodeType) {
            case XmlNodeType_Element: goOn = OnElementStart(reader.Get()); break;
            case XmlNodeType_Text:
            case XmlNodeType_Whitespace: {
                std::wstring value;
                if (!ReadValue(reader.Get(), value)) return FALSE;
                // No document yields an empty text. The platform's reader hands out empty texts
                // without end when the input stops inside an element, instead of an error.
                if (value.empty()) {
                    LOG_ERROR_CODE(static_cast<HRESULT>(MX_E_INPUTEND),
                                   L"Error::CVTInstApp::CreateUpdateInfoList:pReader->Read failed");
                    return FALSE;
                }
                goOn = OnText(value);
                break;
            }
            case XmlNodeType_EndElement: goOn = OnElementEnd(reader.Get()); break;
            default: break;  // CDATA, comments, processing instructions and declarations carry nothing
        }
        if (!goOn) return FALSE;
    }
    return FinishDocument();
}

void CCatalogueReader::StartLanguageChoice(IXmlReader* reader, const std::wstring& heldDefault,
                                           Target defaultTarget, Target languageTarget) {
    const bool hasAttributes = WalkAttributes(reader, [&](const std::wstring& name, const std::wstring& value) {
        if (name == L"lang" && value == m_languageCode) Raise(languageTarget);
    });
    if (!hasAttributes && heldDefault.empty()) Raise(defaultTarget);
}

void CCatalogueReader::StartVersion(IXmlReader* reader) {
    WalkAttributes(reader, [&](const std::wstring& name, const std::wstring& value) {
        if (name == L"targetMinVersion") {
            m_item.m_targetMinVersion = !value.empty() && IsVersion4(value) ? value : NO_TARGET_MIN_VERSION;
        }
    });
    Raise(TARGET_VERSION);
}

void CCatalogueReader::StartModule(IXmlReader* reader) {
    bool hasLanguage = false;
    WalkAttributes(reader, [&](const std::wstring& name, const std::wstring& value) {
        if (name == L"lang") {
            hasLanguage = true;
            if (value == m_languageCode) Raise(TARGET_MODULE_LANGUAGE);
        } else if (name == L"size") {
            m_pendingSize = ReadByteCount(value);
        } else if (name == L"installSize") {
            m_pendingInstallSize = ReadByteCount(value);
        }
    });
    if (!hasLanguage && m_defaultModule.location.empty()) Raise(TARGET_MODULE_DEFAULT);
}

bool CCatalogueReader::FollowStructure(IXmlReader* reader, XmlNodeType nodeType) {
    NodePlace place;
    place.type = nodeType;
    reader->GetLineNumber(&place.line);
    reader->GetLinePosition(&place.position);
    const bool sameNode =
        place.type == m_lastNode.type && place.line == m_lastNode.line && place.position == m_lastNode.position;
    m_lastNode = place;
    bool sound = !sameNode;
    if (sound && nodeType == XmlNodeType_Element) {
        if (m_depth == 0) {
            const wchar_t* name = nullptr;
            UINT length = 0;
            sound = !m_rootSeen && SUCCEEDED(reader->GetQualifiedName(&name, &length)) &&
                    m_closingRoot == std::wstring(name, length);
            m_rootSeen = true;
        }
        if (!reader->IsEmptyElement()) ++m_depth;
    } else if (sound && nodeType == XmlNodeType_EndElement) {
        sound = m_depth > 0;
        if (sound) --m_depth;
    }
    if (!sound)
        LOG_ERROR_CODE(static_cast<HRESULT>(MX_E_INPUTEND), L"Error::CVTInstApp::CreateUpdateInfoList:pReader->Read failed");
    return sound;
}

bool CCatalogueReader::OnElementStart(IXmlReader* reader) {
    std::wstring name;
    if (!ReadLocalName(reader, name)) return false;
    if (name == L"item") {
        m_inItem = true;
        WalkAttributes(reader, [](const std::wstring&, const std::wstring&) {});
    } else if (name == L"title") {
        StartLanguageChoice(reader, m_defaultTitle, TARGET_TITLE_DEFAULT, TARGET_TITLE_LANGUAGE);
    } else if (name == L"license") {
        StartLanguageChoice(reader, m_defaultLicense, TARGET_LICENSE_DEFAULT, TARGET_LICENSE_LANGUAGE);
    } else if (name == L"version") {
        StartVersion(reader);
    } else if (name == L"module") {
        StartModule(reader);
    } else if (name == L"vtinst2") {
        m_inHomeSection = true;
    } else if (const PlainElement* element = FindPlainElement(name)) {
        Raise(element->target);
    }
    return true;
}

bool CCatalogueReader::AssignDocumentExclude(const std::wstring& value) {
    if (value.find(m_app.m_strOSVersion) == std::wstring::npos) return true;
    m_app.m_osNotSupported = 1;
    LOG_ERROR(L"Error:CVTInstApp::CreateUpdateInfoList:Os is not supported.(exclude)");
    return false;
}

bool CCatalogueReader::OnText(const std::wstring& value) {
    int target = 0;
    while (target < TARGET_COUNT && !m_raised[target]) ++target;
    switch (target) {
        case TARGET_ID: m_item.m_id = value; break;
        case TARGET_TITLE_DEFAULT: m_defaultTitle = value; break;
        case TARGET_TITLE_LANGUAGE: m_languageTitle = value; break;
        case TARGET_VERSION:
            if (IsVersion4(value)) {
                m_item.m_version = value;
            } else {
                LOG_ERROR((SOFT_VERSION_ERROR + value).c_str());
                m_item.m_version.clear();
            }
            break;
        case TARGET_PUB_DATE:
        case TARGET_DEL_DATE: {
            int64_t seconds = 0;
            if (!ParseDate(value, seconds)) {
                LOG_ERROR(L"Error:CVTInstApp::CreateUpdateInfoList: Date format is failed.");
                return false;
            }
            (target == TARGET_PUB_DATE ? m_item.m_pubDate : m_item.m_delDate) = seconds;
            break;
        }
        case TARGET_LICENSE_DEFAULT: m_defaultLicense = value; break;
        case TARGET_LICENSE_LANGUAGE: m_languageLicense = value; break;
        case TARGET_ISS: m_item.m_issUrl = value; break;
        case TARGET_ISS_UG: m_item.m_issUgUrl = value; break;
        case TARGET_MODULE_DEFAULT: m_defaultModule = {value, m_pendingSize, m_pendingInstallSize}; break;
        case TARGET_MODULE_LANGUAGE: m_languageModule = {value, m_pendingSize, m_pendingInstallSize}; break;
        case TARGET_EXCLUDE:
            if (m_inItem) {
                m_item.m_exclude = value;
            } else if (!AssignDocumentExclude(value)) {
                return false;
            }
            break;
        case TARGET_SETUP_TYPE: m_setupType = value; break;
        case TARGET_AUTH: (m_inHomeSection ? m_homeAuth : m_auth) = value; break;
        case TARGET_VTINST: m_stateFileUrl = value; break;
        case TARGET_MODEL: m_model = value; break;
        case TARGET_ABBYY_VERSION: m_ocrEngineVersion = value; break;
        case TARGET_HOMEIF_VERSION:
            if (IsVersion3(value)) {
                m_homeIfVersion = value;
            } else {
                LOG_ERROR((SOFT_VERSION_ERROR + value).c_str());
                m_homeIfVersion.clear();
            }
            break;
        default: break;  // no element is waiting for a value
    }
    return true;
}

bool CCatalogueReader::OnElementEnd(IXmlReader* reader) {
    std::wstring name;
    if (!ReadLocalName(reader, name)) return false;
    if (name == L"item") {
        m_inItem = false;
        FinishItem();
    } else if (name == L"title") {
        Lower(TARGET_TITLE_DEFAULT);
        Lower(TARGET_TITLE_LANGUAGE);
    } else if (name == L"license") {
        Lower(TARGET_LICENSE_DEFAULT);
        Lower(TARGET_LICENSE_LANGUAGE);
    } else if (name == L"module") {
        Lower(TARGET_MODULE_DEFAULT);
        Lower(TARGET_MODULE_LANGUAGE);
    } else if (name == L"version") {
        Lower(TARGET_VERSION);
    } else if (name == L"vtinst2") {
        m_inHomeSection = false;
    } else if (const PlainElement* element = FindPlainElement(name)) {
        Lower(element->target);
    }
    return true;
}

void CCatalogueReader::FinishItem() {
    m_item.m_title = !m_languageTitle.empty() ? m_languageTitle : m_defaultTitle;
    const HeldModule& module = m_languageModule.location.empty() ? m_defaultModule : m_languageModule;
    m_item.m_moduleUrl = module.location;
    m_item.m_size = module.size;
    m_item.m_installSize = module.installSize;
    if (m_item.m_size >= 0) m_item.m_displaySize = SizeToTenths(m_item.m_size);

    // Checking the record's fields is the selection's business, not the parser's.
    (m_inHomeSection ? m_app.m_homeItems : m_app.m_catalogueItems).push_back(m_item);

    m_item.Reset();
    m_defaultTitle.clear();
    m_languageTitle.clear();
    m_defaultModule = HeldModule();
    m_languageModule = HeldModule();
    m_pendingSize = 0;
    m_pendingInstallSize = 0;
}

BOOL CCatalogueReader::FinishDocument() {
    UPDATECOMMONINFO& info = m_app.m_updateCommonInfo;
    info.OcrAuth = m_homeAuth;
    info.SetupType = m_setupType;
    info.SoftAuth = m_auth;
    info.VTInstUrl = m_stateFileUrl;
    info.ModelName = m_model;
    info.AbbyyVersion = m_ocrEngineVersion;
    // Home applications older than the floor cannot work with this installer, whatever the
    // catalogue asks for.
    info.HomeIfVersion = m_homeIfVersion.empty() || CompareVersion3(LOWEST_HOMEIF_VERSION, m_homeIfVersion) == 2
                             ? LOWEST_HOMEIF_VERSION
                             : m_homeIfVersion;
    info.LicenseUrl = !m_languageLicense.empty() ? m_languageLicense : m_defaultLicense;

    if (info.LicenseUrl.empty()) {
        LOG_ERROR(L"Error:CVTInstApp::CreateUpdateInfoList: License is empty.");
        return FALSE;
    }
    if (info.VTInstUrl.empty()) {
        LOG_ERROR(L"Error:CVTInstApp::CreateUpdateInfoList: VtInstUrl is empty.");
        return FALSE;
    }
    if (info.ModelName.empty()) {
        LOG_ERROR(L"Error:CVTInstApp::CreateUpdateInfoList: Model is empty.");
        return FALSE;
    }
    LOG_INFO(L"End  :CVTInstApp::CreateUpdateInfoList");
    return TRUE;
}

}  // namespace

BOOL ParseCatalogue(CVTInstApp& app, const std::wstring& path, const std::wstring& languageCode) {
    LOG_INFO(L"Start:CVTInstApp::CreateUpdateInfoList");
    app.m_homeItems.clear();
    app.m_catalogueItems.clear();
    CCatalogueReader reader(app, languageCode);
    return reader.Read(path);
}
