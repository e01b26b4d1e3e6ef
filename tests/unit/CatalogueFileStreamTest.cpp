#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "catalogue/FileStream.h"
#include "tests/support/ScopedTempFolder.h"

using vttest::ScopedTempFolder;

namespace {

class CatalogueFileStreamTest : public ::testing::Test {
protected:
    ScopedTempFolder temp;
    std::wstring path = temp.File(L"stream.bin");

    void SetUp() override { vttest::WriteTextFile(path, "0123456789"); }

    IStream* Open() {
        IStream* stream = nullptr;
        EXPECT_EQ(FileStream::OpenFile(path.c_str(), &stream), S_OK);
        return stream;
    }
};

TEST_F(CatalogueFileStreamTest, MissingFileGivesTheSystemErrorAndNoStream) {
    IStream* stream = reinterpret_cast<IStream*>(1);
    EXPECT_EQ(FileStream::OpenFile(temp.File(L"absent.xml").c_str(), &stream),
              HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(stream, nullptr);
    EXPECT_EQ(FileStream::OpenFile(temp.File(L"no\\such\\folder.xml").c_str(), &stream),
              HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND));
}

TEST_F(CatalogueFileStreamTest, AnswersItsThreeInterfacesAndCountsReferences) {
    IStream* stream = Open();
    ASSERT_NE(stream, nullptr);
    const IID* known[] = {&__uuidof(IUnknown), &__uuidof(ISequentialStream), &__uuidof(IStream)};
    for (const IID* iid : known) {
        void* object = nullptr;
        ASSERT_EQ(stream->QueryInterface(*iid, &object), S_OK);
        EXPECT_EQ(object, static_cast<void*>(stream));
    }
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(stream->QueryInterface(__uuidof(IStorage), &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);

    // One reference from the opening plus one per successful query.
    EXPECT_EQ(stream->AddRef(), 5u);
    for (ULONG expected = 4; expected > 0; --expected) EXPECT_EQ(stream->Release(), expected);
    EXPECT_EQ(stream->Release(), 0u);
}

TEST_F(CatalogueFileStreamTest, LastReleaseClosesTheFile) {
    IStream* stream = Open();
    ASSERT_NE(stream, nullptr);
    // Others may read while the stream holds the file, but nobody may delete it.
    HANDLE reader = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    if (reader != INVALID_HANDLE_VALUE) CloseHandle(reader);
    stream->AddRef();
    stream->Release();
    EXPECT_FALSE(DeleteFileW(path.c_str()));
    stream->Release();
    EXPECT_TRUE(DeleteFileW(path.c_str()));
}

TEST_F(CatalogueFileStreamTest, ReadsSeeksAndReportsItsSize) {
    IStream* stream = Open();
    ASSERT_NE(stream, nullptr);
    char buffer[16] = {};
    ULONG read = 0;
    ASSERT_EQ(stream->Read(buffer, 4, &read), S_OK);
    EXPECT_EQ(std::string(buffer, read), "0123");

    struct SeekCase {
        LONGLONG move;
        DWORD origin;
        ULONGLONG position;
    } seeks[] = {{2, STREAM_SEEK_CUR, 6}, {1, STREAM_SEEK_SET, 1}, {-3, STREAM_SEEK_END, 7}};
    for (const SeekCase& seek : seeks) {
        LARGE_INTEGER move;
        move.QuadPart = seek.move;
        ULARGE_INTEGER position = {};
        ASSERT_EQ(stream->Seek(move, seek.origin, &position), S_OK) << seek.origin;
        EXPECT_EQ(position.QuadPart, seek.position) << seek.origin;
    }
    ASSERT_EQ(stream->Read(buffer, sizeof(buffer), &read), S_OK);
    EXPECT_EQ(std::string(buffer, read), "789");
    // At the end a read succeeds with nothing, which is how the reader learns the input is over.
    ASSERT_EQ(stream->Read(buffer, sizeof(buffer), &read), S_OK);
    EXPECT_EQ(read, 0u);

    LARGE_INTEGER zero = {};
    EXPECT_EQ(stream->Seek(zero, 3, nullptr), STG_E_INVALIDFUNCTION);
    LARGE_INTEGER beforeStart;
    beforeStart.QuadPart = -1;
    EXPECT_EQ(stream->Seek(beforeStart, STREAM_SEEK_SET, nullptr), HRESULT_FROM_WIN32(ERROR_NEGATIVE_SEEK));

    STATSTG stat;
    memset(&stat, 0xAB, sizeof(stat));
    ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.cbSize.QuadPart, 10u);
    EXPECT_EQ(stat.pwcsName, nullptr);
    stream->Release();
}

TEST_F(CatalogueFileStreamTest, WritingAReadOnlyFileFailsAndUnsupportedCallsSaySo) {
    IStream* stream = Open();
    ASSERT_NE(stream, nullptr);
    ULONG written = 99;
    EXPECT_EQ(stream->Write("x", 1, &written), HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
    EXPECT_EQ(written, 0u);

    ULARGE_INTEGER size = {};
    IStream* copy = reinterpret_cast<IStream*>(1);
    EXPECT_EQ(stream->SetSize(size), E_NOTIMPL);
    EXPECT_EQ(stream->CopyTo(nullptr, size, nullptr, nullptr), E_NOTIMPL);
    EXPECT_EQ(stream->Commit(0), E_NOTIMPL);
    EXPECT_EQ(stream->Revert(), E_NOTIMPL);
    EXPECT_EQ(stream->LockRegion(size, size, 0), E_NOTIMPL);
    EXPECT_EQ(stream->UnlockRegion(size, size, 0), E_NOTIMPL);
    EXPECT_EQ(stream->Clone(&copy), E_NOTIMPL);
    EXPECT_EQ(copy, nullptr);
    stream->Release();
}

}  // namespace
