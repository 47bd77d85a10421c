// tests/tags/BufferedStreamTest.cpp
#include "tags/BufferedStream.h"

#include "tests/tags/TagTestSupport.h"

#include <gtest/gtest.h>

using namespace tagtest;

namespace {

// Counts the writes that reach the wrapped stream.
class TCountingStream : public rtl::TMemoryStream {
public:
    int64_t Write(const void* Buffer, int64_t Count) override
    {
        ++Writes;
        return rtl::TMemoryStream::Write(Buffer, Count);
    }
    using rtl::TMemoryStream::Write;
    int Writes = 0;
};

Bytes Sequence(size_t n)
{
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = uint8_t(i * 7 + 1);
    return b;
}

} // namespace

TEST(BufferedStream, SeeksAreClampedToTheSize)
{
    rtl::TMemoryStream inner;
    Fill(inner, Sequence(100));
    tags::TBufferedStream s(inner);
    EXPECT_EQ(s.Seek(500, rtl::soBeginning), 100);
    EXPECT_EQ(s.Seek(-500, rtl::soCurrent), 0);
    EXPECT_EQ(s.Seek(0, rtl::soEnd), 100);
}

TEST(BufferedStream, ReadsStopAtTheEnd)
{
    rtl::TMemoryStream inner;
    Fill(inner, Sequence(1500));
    tags::TBufferedStream s(inner);
    Bytes got(2000);
    EXPECT_EQ(s.Read(got.data(), 10), 10);
    EXPECT_EQ(s.Read(got.data() + 10, 1990), 1490);
    got.resize(1500);
    EXPECT_EQ(got, Sequence(1500));
    EXPECT_EQ(s.Read(got.data(), 1), 0);
}

TEST(BufferedStream, FlushesExactlyWhenTheBufferIsFull)
{
    TCountingStream inner;
    {
        tags::TBufferedStream s(inner);
        const Bytes data = Sequence(1025);
        s.Write(data.data(), 1024);
        EXPECT_EQ(inner.Writes, 1);
        s.Write(data.data() + 1024, 1);
        EXPECT_EQ(inner.Writes, 1);
        EXPECT_EQ(s.Seek(0, rtl::soEnd), 1025);   // the size counts bytes not yet written
        EXPECT_EQ(inner.Size(), 1024);
    }
    EXPECT_EQ(inner.Writes, 2);   // destruction writes the pending byte
    EXPECT_EQ(Contents(inner), Sequence(1025));
}

TEST(BufferedStream, ReadingAfterWritingSeesTheWrittenBytes)
{
    rtl::TMemoryStream inner;
    tags::TBufferedStream s(inner);
    const Bytes data = Sequence(10);
    s.Write(data.data(), 10);
    s.Seek(-5, rtl::soCurrent);
    Bytes got(5);
    ASSERT_EQ(s.Read(got.data(), 5), 5);
    EXPECT_EQ(got, Bytes(data.begin() + 5, data.end()));
    EXPECT_EQ(inner.Size(), 10);
}

TEST(BufferedStream, WritingAfterReadingGoesToTheLogicalPosition)
{
    rtl::TMemoryStream inner;
    Fill(inner, Sequence(50));
    {
        tags::TBufferedStream s(inner);
        Bytes got(3);
        s.Read(got.data(), 3);
        const Bytes two = B({0xAA, 0xBB});
        s.Write(two.data(), 2);
        EXPECT_EQ(s.Size(), 50);   // inside the old size: no growth
    }
    Bytes expected = Sequence(50);
    expected[3] = 0xAA;
    expected[4] = 0xBB;
    EXPECT_EQ(Contents(inner), expected);
}

TEST(BufferedStream, FlushKeepsTheLogicalPosition)
{
    rtl::TMemoryStream inner;
    tags::TBufferedStream s(inner);
    const Bytes data = Sequence(10);
    s.Write(data.data(), 10);
    s.Seek(-3, rtl::soCurrent);
    s.Flush();
    EXPECT_EQ(Contents(inner), data);
    const Bytes one = B({0xEE});
    s.Write(one.data(), 1);
    s.Flush();
    Bytes expected = data;
    expected[7] = 0xEE;
    EXPECT_EQ(Contents(inner), expected);
    EXPECT_EQ(s.Position(), 8);
}

TEST(BufferedStream, DestroyingAReaderWritesNothing)
{
    TCountingStream inner;
    Fill(inner, Sequence(20));
    inner.Writes = 0;
    {
        tags::TBufferedStream s(inner);
        Bytes got(5);
        s.Read(got.data(), 5);
    }
    EXPECT_EQ(inner.Writes, 0);
}

TEST(BufferedStream, SetSizeZeroThenWriteStartsAtZero)
{
    rtl::TMemoryStream inner;
    Fill(inner, Sequence(30));
    {
        tags::TBufferedStream s(inner);
        Bytes got(8);
        s.Read(got.data(), 8);
        s.SetSize(0);
        EXPECT_EQ(s.Position(), 0);
        EXPECT_EQ(s.Size(), 0);
        const Bytes one = B({0x11});
        s.Write(one.data(), 1);
    }
    EXPECT_EQ(Contents(inner), B({0x11}));
}

TEST(BufferedStream, LargeReadsAndSmallSeeksAgree)
{
    rtl::TMemoryStream inner;
    const Bytes data = Sequence(5000);
    Fill(inner, data);
    tags::TBufferedStream s(inner);
    Bytes got(3000);
    s.Seek(7, rtl::soBeginning);
    ASSERT_EQ(s.Read(got.data(), 3000), 3000);
    EXPECT_EQ(got, Bytes(data.begin() + 7, data.begin() + 3007));
    s.Seek(-2, rtl::soCurrent);
    uint8_t b = 0;
    ASSERT_EQ(s.Read(&b, 1), 1);
    EXPECT_EQ(b, data[3005]);
}
