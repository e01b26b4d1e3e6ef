#include "download/DownloadCountInfo.h"

#include <winsock2.h>
#include <iphlpapi.h>

#include "app/VTInst.h"
#include "catalogue/ProductIds.h"
#include "download/HttpDownload.h"
#include "download/HttpDownloadLog.h"
#include "framework/StringFormat.h"
#include "framework/SystemLibrary.h"
#include "support/Descramble.h"
#include "support/Md5.h"
#include "support/RecentDevice.h"
#include "support/TextTests.h"

namespace {

const wchar_t kManualId[] = L"Veltrona Manual";
const wchar_t kSerialKey[] = L"qLivDOMeRak qLivDOMeRak qLivDOMeRak";
const int SERIAL_KEY_OFFSET = 11;
const size_t SERIAL_CAPACITY = 130;
const size_t SERIAL_MINIMUM_LENGTH = 5;
const DWORD IF_TYPE_WIRELESS = 71;  // IF_TYPE_IEEE80211
const DWORD IF_TYPE_ETHERNET = 6;   // IF_TYPE_ETHERNET_CSMACD

std::wstring AdapterText(const NetworkAdapter& adapter) {
    BYTE bytes[6] = {};
    for (size_t i = 0; i < 6 && i < adapter.physicalAddress.size(); ++i) bytes[i] = adapter.physicalAddress[i];
    return fw::Format(L"%02X-%02X-%02X-%02X-%02X-%02X", bytes[0], bytes[1], bytes[2], bytes[3], bytes[4], bytes[5]);
}

}  // namespace

bool DownloadCountShortName(const std::wstring& id, std::wstring& shortName, bool& badManualId) {
    badManualId = false;
    if (id == PRODUCT_MANAGER) {
        shortName = L"Mng";
    } else if (id == PRODUCT_ONLINE_UPDATE) {
        shortName = L"VTOU";
    } else if (id == kManualId) {
        shortName = fw::Format(L"%s01", L"VTManual");
    } else if (id.compare(0, wcslen(kManualId), kManualId) == 0) {
        const std::wstring suffix = id.substr(wcslen(kManualId));
        if (suffix.size() != 2) {
            badManualId = true;
            return false;
        }
        shortName = L"VTManual" + suffix;
    } else if (id == L"Veltrona OCR LangPack1") {
        shortName = L"OCRPK001";
    } else if (id == PRODUCT_OCR_LANGPACK2) {
        shortName = L"OCRPK002";
    } else {
        return false;
    }
    return true;
}

std::wstring DownloadCountVersionLevel(const std::wstring& version) {
    if (!IsVersion4(version)) return std::wstring();
    int major = 0, minor = 0, level = 0;
    if (swscanf(version.c_str(), L"%d.%d.%d", &major, &minor, &level) != 3) return std::wstring();
    return fw::Format(L"V%d.%dL%d", major, minor, level);
}

// The IP helper library is not one of the system's known libraries: loaded from the system folder.
std::vector<NetworkAdapter> ReadNetworkAdapters() {
    typedef ULONG(WINAPI * GetAddressesFunction)(ULONG, ULONG, void*, IP_ADAPTER_ADDRESSES*, ULONG*);
    std::vector<NetworkAdapter> adapters;
    const fw::CSystemLibrary ipHelper(L"iphlpapi.dll");
    const GetAddressesFunction getAddresses = ipHelper.Find<GetAddressesFunction>("GetAdaptersAddresses");
    if (!getAddresses) return adapters;
    ULONG size = 0;
    if (getAddresses(AF_UNSPEC, 0, nullptr, nullptr, &size) != ERROR_BUFFER_OVERFLOW) return adapters;
    std::vector<BYTE> buffer(size);
    IP_ADAPTER_ADDRESSES* list = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
    if (getAddresses(AF_UNSPEC, 0, nullptr, list, &size) != ERROR_SUCCESS) return adapters;
    for (const IP_ADAPTER_ADDRESSES* adapter = list; adapter; adapter = adapter->Next) {
        NetworkAdapter entry;
        entry.ifType = adapter->IfType;
        entry.physicalAddress.assign(adapter->PhysicalAddress,
                                     adapter->PhysicalAddress + adapter->PhysicalAddressLength);
        adapters.push_back(entry);
    }
    return adapters;
}

std::wstring ChooseAdapterText(const std::vector<NetworkAdapter>& adapters) {
    for (DWORD type : {IF_TYPE_WIRELESS, IF_TYPE_ETHERNET}) {
        for (const NetworkAdapter& adapter : adapters)
            if (adapter.ifType == type) return AdapterText(adapter);
    }
    for (const NetworkAdapter& adapter : adapters)
        if (!adapter.physicalAddress.empty()) return AdapterText(adapter);
    return std::wstring();
}

ScannerSerial LookUpScannerSerial(const std::wstring& osVersion) {
    ScannerSerial serial;
    std::wstring scrambled;
    if (!GetRecentDevice(osVersion, scrambled)) {
        HTTPDL_INFO(L"Info :CHttpDownLoad::DownloadThread:can not get the serialNO.");
        return serial;
    }
    wchar_t plain[SERIAL_CAPACITY] = {};
    Descramble(scrambled.c_str(), plain, SERIAL_CAPACITY, kSerialKey, SERIAL_KEY_OFFSET);
    const std::wstring number = plain;
    if (number.size() < SERIAL_MINIMUM_LENGTH || !IsAlphanumericText(number)) {
        HTTPDL_ERROR(fw::Format(L"Error:CHttpDownLoad::DownloadThread: The serial number (%s) is invalid . ",
                                number.c_str()).c_str());
        return serial;
    }
    serial.number = number;
    serial.digest = Md5OfAnsiText(number);
    return serial;
}

void CHttpDownLoad::GetDownloadCountInfo(const std::wstring& id, const std::wstring& version,
                                         const std::wstring& serialDigest, const std::wstring& serialNumber,
                                         const std::wstring& url) {
    HTTPDL_INFO(L"Start:CHttpDownLoad::GetDownloadCountInfo");
    std::wstring shortName;
    bool badManualId = false;
    if (!DownloadCountShortName(id, shortName, badManualId)) {
        if (badManualId)
            HTTPDL_ERROR((L"Error:CHttpDownLoad::GetDownloadCountInfo:get shortName failed!The Soft ID is " + id).c_str());
        else
            HTTPDL_LOG(LOG_LEVEL_ERROR, -1, L"End  :CHttpDownLoad::GetDownloadCountInfo:get softName failed!");
        return;
    }
    const std::wstring machine = Md5OfAnsiText(ChooseAdapterText(ReadNetworkAdapters()));
    const std::wstring level = DownloadCountVersionLevel(version);
    const std::wstring parameters =
        serialNumber.empty()
            ? fw::Format(L"OS=Win&SOFT=%s&VL=%s&KIND=Down&MAC=%s&CLTYPE=VTINS1&URL=%s", shortName.c_str(),
                         level.c_str(), machine.c_str(), url.c_str())
            : fw::Format(L"SN=%s&SN2=%s&OS=Win&SOFT=%s&VL=%s&KIND=Down&MAC=%s&CLTYPE=VTINS1&URL=%s",
                         serialNumber.substr(0, 5).c_str(), serialDigest.c_str(), shortName.c_str(), level.c_str(),
                         machine.c_str(), url.c_str());
    HTTPDL_INFO((L"Info :CHttpDownLoad::GetDownloadCountInfo:Send Params is " + parameters).c_str());
    theApp.m_arrDownloadCountInfo.push_back(parameters);
    HTTPDL_INFO(L"End  :CHttpDownLoad::GetDownloadCountInfo");
}
