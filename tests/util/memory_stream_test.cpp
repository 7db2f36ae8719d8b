#include "util/MemoryStream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Owns a stream for one test.
class StreamTest : public ::testing::Test {
protected:
    void SetUp() override { s = OpenStream(); }
    void TearDown() override { CloseStream(s); }
    void Put(std::string_view bytes) { ASSERT_TRUE(WriteBytes(s, Bytes::Of(bytes))); SeekToStart(s); }
    // Reads lines until AtEnd, with a bound, as the cookie step does.
    std::vector<std::string> Lines(int bound = 100) {
        std::vector<std::string> lines;
        while (!AtEnd(s, false) && bound-- > 0) lines.push_back(ReadLine(s).Str());
        return lines;
    }
    StreamHandle s = 0;
};

TEST_F(StreamTest, WriteSeekReadWhole) {
    EXPECT_TRUE(WriteText(s, "abc"));
    EXPECT_EQ(StreamLength(s), 3);  // no terminator, no line end
    EXPECT_TRUE(WriteBytes(s, Bytes{0, 1}, Bytes(), Bytes{2}));
    EXPECT_TRUE(SeekToStart(s));
    EXPECT_EQ(StreamLength(s), 6);
    EXPECT_EQ(ReadBytes(s, StreamLength(s)), (Bytes{'a', 'b', 'c', 0, 1, 2}));
    EXPECT_TRUE(AtEnd(s, false));
}

TEST_F(StreamTest, WritingOverwritesAtThePositionAndNeverShortens) {
    WriteText(s, "abcdef");
    SeekToStart(s);
    WriteText(s, "XY");
    EXPECT_EQ(StreamLength(s), 6);
    EXPECT_EQ(ReadBytes(s, 100), Bytes::Of("cdef"));
    SeekToStart(s);
    EXPECT_EQ(ReadBytes(s, 100), Bytes::Of("XYcdef"));
}

TEST_F(StreamTest, ReadBytesClampsAndKeepsPositionForNothing) {
    Put("abcd");
    EXPECT_TRUE(ReadBytes(s, 0).Empty());
    EXPECT_TRUE(ReadBytes(s, -1).Empty());
    EXPECT_EQ(ReadBytes(s, 1), Bytes::Of("a"));
    EXPECT_EQ(ReadBytes(s, 10), Bytes::Of("bcd"));
    EXPECT_TRUE(ReadBytes(s, 10).Empty());
    StreamHandle empty = OpenStream();
    EXPECT_TRUE(ReadBytes(empty, StreamLength(empty)).Empty());
    CloseStream(empty);
}

TEST_F(StreamTest, ReadLineTable) {
    struct Case { std::string bytes; std::vector<std::string> lines; } cases[] = {
        {"HTTP\r\n\r\n", {"HTTP", ""}},
        {"a\nb\r\n", {"a", "b"}},
        {"a\rb\n", {"a\rb"}},
        {"ab\r", {"ab"}},
        {"ab\r\r\n", {"ab\r"}},
        {"\x81\n" "A\n", {"\x81\n" "A"}},   // a line feed behind a lead byte is a trail byte
        {"\x81\x1A" "b", {"\x81\x1A" "b"}},
        {"x\x81", {"x\x81"}},               // a lead byte at the end stands alone
        {"\n\n", {"", ""}},
    };
    for (const auto& c : cases) {
        StreamHandle t = OpenStream();
        WriteBytes(t, Bytes::Of(c.bytes));
        SeekToStart(t);
        std::vector<std::string> lines;
        for (int bound = 10; !AtEnd(t, false) && bound > 0; bound--) lines.push_back(ReadLine(t).Str());
        EXPECT_EQ(lines, c.lines) << c.bytes;
        CloseStream(t);
    }
}

TEST_F(StreamTest, LongLineIsWholeAndNextStartsBehindIt) {
    std::string line(1000, 'x');
    line[511] = '\xC4';  // a character that straddles the first 512 bytes
    line[512] = '\xE3';
    Put(line + "\nnext");
    EXPECT_EQ(ReadLine(s).Str(), line);
    EXPECT_EQ(ReadLine(s).Str(), "next");
    EXPECT_TRUE(AtEnd(s, false));
    EXPECT_TRUE(ReadLine(s).IsAbsent());
}

TEST_F(StreamTest, TextEndBytesStopLinesWithoutBeingConsumed) {
    for (char stop : {'\x1A', '\0'}) {
        StreamHandle t = OpenStream();
        WriteBytes(t, Bytes{'a', static_cast<uint8_t>(stop), 'b'});
        SeekToStart(t);
        EXPECT_EQ(ReadLine(t), Text("a"));
        EXPECT_TRUE(ReadLine(t).IsAbsent());
        EXPECT_FALSE(AtEnd(t, false));
        EXPECT_TRUE(AtEnd(t, true));
        EXPECT_EQ(ReadBytes(t, 1), (Bytes{static_cast<uint8_t>(stop)}));  // still on the stop byte
        CloseStream(t);
    }
}

TEST_F(StreamTest, LeadByteBeforeZeroByteStandsAlone) {
    Put(std::string("a\x81\0b", 4));
    EXPECT_EQ(ReadLine(s).Str(), "a\x81");
    EXPECT_TRUE(AtEnd(s, true));
    EXPECT_EQ(ReadBytes(s, 10), (Bytes{0, 'b'}));
}

TEST_F(StreamTest, ClosedOrUnknownHandlesGiveFailureValues) {
    StreamHandle t = OpenStream();
    WriteText(t, "abc");
    CloseStream(t);
    CloseStream(t);  // closing twice does nothing
    for (StreamHandle h : {t, StreamHandle(0), StreamHandle(987654)}) {
        EXPECT_FALSE(WriteText(h, "x"));
        EXPECT_FALSE(WriteBytes(h, Bytes{1}));
        EXPECT_FALSE(SeekToStart(h));
        EXPECT_EQ(StreamLength(h), -1);
        EXPECT_TRUE(ReadLine(h).IsAbsent());
        EXPECT_TRUE(ReadBytes(h, 3).Empty());
        EXPECT_TRUE(AtEnd(h, false));
    }
}

TEST_F(StreamTest, CapacityStaysAMultipleOf1024AndGrowsGeometrically) {
    Bytes chunk = BlankBytes(100);
    int reallocations = 0;
    long long last = StreamCapacity(s);
    for (int i = 0; i < 20000; i++) {
        ASSERT_TRUE(WriteBytes(s, chunk));
        long long cap = StreamCapacity(s);
        ASSERT_EQ(cap % 1024, 0);
        ASSERT_GE(cap, StreamLength(s));
        if (cap != last) reallocations++;
        last = cap;
    }
    // 2 MB in 1024-byte steps would be about 1950 reallocations.
    EXPECT_LT(reallocations, 20);
}

TEST_F(StreamTest, StreamsAreIndependent) {
    StreamHandle other = OpenStream();
    WriteText(s, "outer");
    WriteText(other, "inner");
    CloseStream(other);
    SeekToStart(s);
    EXPECT_EQ(ReadLine(s), Text("outer"));
}

}  // namespace
