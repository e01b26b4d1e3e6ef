// The download-count report's entries: one parameter string per fetched package, naming the
// product, its version, the machine (a digest of a network adapter's address) and, when the scanner
// software knows the last scanner used, its serial number.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The short product name the service knows; FALSE for an id it does not (a manual id of the wrong
// length sets badManualId).
bool DownloadCountShortName(const std::wstring& id, std::wstring& shortName, bool& badManualId);

// "V%d.%dL%d" of a four-part version's first three numbers; empty for anything else.
std::wstring DownloadCountVersionLevel(const std::wstring& version);

// One network adapter as the platform lists it.
struct NetworkAdapter {
    DWORD ifType = 0;
    std::vector<BYTE> physicalAddress;
};

// The adapters of this machine in the platform's order; empty when the list cannot be read.
std::vector<NetworkAdapter> ReadNetworkAdapters();
// "XX-XX-XX-XX-XX-XX" of the first wireless adapter, else the first Ethernet adapter, else the first
// with any physical address; empty when none qualifies.
std::wstring ChooseAdapterText(const std::vector<NetworkAdapter>& adapters);

// The serial number of the scanner used last and its digest, both empty when the device settings
// hold none or an implausible one.
struct ScannerSerial {
    std::wstring number;
    std::wstring digest;
};
ScannerSerial LookUpScannerSerial(const std::wstring& osVersion);
