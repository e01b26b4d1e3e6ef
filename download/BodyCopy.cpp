#include "download/BodyCopy.h"

namespace {
// Nothing beyond one block of the body is ever held in memory.
const UINT kBodyBlockSize = 1024;
}  // namespace

void CopyBodyToFile(fw::CHttpFile& request, fw::CStdioFile& file) {
    char block[kBodyBlockSize];
    while (UINT read = request.Read(block, kBodyBlockSize)) file.Write(block, read);
}
