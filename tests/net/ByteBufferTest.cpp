// The input buffer and the stream that counted reads fill.
#include <gtest/gtest.h>

#include "net/ByteBuffer.h"
#include "net/ByteStream.h"
#include "net/NetErrors.h"

namespace skimby {
namespace {

TEST(ByteBuffer, RemovingFromTheFront) {
    TByteBuffer b;
    b.Append("abcdef");
    b.Remove(2);
    EXPECT_EQ(b.View(), "cdef");
    EXPECT_EQ(b.Extract(3), "cde");
    EXPECT_THROW(b.Remove(2), ENotEnoughDataInBuffer);
    EXPECT_EQ(b.View(), "f");  // a failed removal takes nothing
    b.Remove(1);
    EXPECT_TRUE(b.Empty());
    b.Append(std::string("x\0y", 3));
    EXPECT_EQ(b.Extract(3), std::string("x\0y", 3));
}

TEST(ByteBuffer, ManySmallTakesKeepTheOrder) {
    TByteBuffer b;
    std::string expected;
    for (int i = 0; i < 10000; ++i) {
        std::string piece = std::to_string(i) + ",";
        b.Append(piece);
        expected += piece;
        if (i % 3 == 0) {
            EXPECT_EQ(b.Extract(2), expected.substr(0, 2));
            expected.erase(0, 2);
        }
    }
    EXPECT_EQ(b.View(), expected);
}

TEST(ByteBuffer, SearchResumesWhereTheLastOneStopped) {
    TByteBuffer b;
    b.Append("abcE");
    EXPECT_EQ(b.FindIncremental("END"), TByteBuffer::npos);
    b.Append("N");
    EXPECT_EQ(b.FindIncremental("END"), TByteBuffer::npos);
    b.Append("Dxy");  // the needle spans the three appends
    EXPECT_EQ(b.FindIncremental("END"), 3u);
    b.Remove(6);  // "abcEND" taken
    EXPECT_EQ(b.View(), "xy");
    EXPECT_EQ(b.FindIncremental("END"), TByteBuffer::npos);
    b.Append("EN");
    b.Remove(1);
    b.Append("D");
    EXPECT_EQ(b.FindIncremental("END"), 1u);
    EXPECT_EQ(b.FindIncremental("\n"), TByteBuffer::npos);  // another needle looks again
    b.Append("\n");
    EXPECT_EQ(b.FindIncremental("\n"), 4u);
}

TEST(ByteStream, WritesAtItsPosition) {
    TByteStream s;
    s.Write("hello");
    s.SetPosition(1);
    s.Write("EL");
    EXPECT_EQ(s.Bytes(), "hELlo");
    EXPECT_EQ(s.Position(), 3u);
    s.Write("LOOO");
    EXPECT_EQ(s.Bytes(), "hELLOOO");
    s.SetSize(2);
    EXPECT_EQ(s.Bytes(), "hE");
    s.SetPosition(4);
    s.Write("!");
    EXPECT_EQ(s.Bytes(), std::string("hE\0\0!", 5));
}

}  // namespace
}  // namespace skimby
