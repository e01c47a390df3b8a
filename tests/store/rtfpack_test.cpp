#include <gtest/gtest.h>

#include <random>

#include "store/RtfPack.h"
#include "support/RtfNotes.h"

namespace treskel {
namespace {

std::string Pack(const std::string& s) {
    TMemoryStream in(std::vector<uint8_t>(s.begin(), s.end())), out;
    PackRtfObjects(in, out);
    return out.AsString();
}

std::string Unpack(const std::string& s) {
    TMemoryStream in(std::vector<uint8_t>(s.begin(), s.end())), out;
    UnpackRtfObjects(in, out);
    return out.AsString();
}

std::string Bytes(std::initializer_list<int> b) {
    std::string s;
    for (int c : b) s += static_cast<char>(c);
    return s;
}

TEST(RtfPack, ObjDataExample) {
    const std::string rtf = "{\\*\\objdata 0105000002000000}";
    const std::string packed = "{\\*\\objdata" + Bytes({8, 0, 0, 0, 1, 5, 0, 0, 2, 0, 0, 0}) + "}";
    EXPECT_EQ(Pack(rtf), packed);
    EXPECT_EQ(Unpack(packed), "{\\*\\objdata\r\n01050000\r\n02000000\r\n}");
}

TEST(RtfPack, ObjDataLineBreaksSkipTheSixteenthByte) {
    std::string hex;
    for (int i = 0; i < 40; ++i) hex += "AB";
    const std::string unpacked = Unpack(Pack("{\\*\\objdata " + hex + "}"));
    std::string expected = "{\\*\\objdata\r\n";
    for (int i = 1; i <= 40; ++i) {
        expected += "AB";
        if (i == 4 || i == 8 || i == 12 || i == 20 || i == 24 || i == 28 || i == 32) expected += "\r\n";
    }
    EXPECT_EQ(unpacked, expected + "}");
}

TEST(RtfPack, MetafilePicture) {
    const std::string rtf = "x{\\pict\\wmetafile8\\picw100\\pich100 \r\n0100090000\r\n03}y";
    const std::string packed = "x{\\pict\\wmetafile8\\picw100\\pich100 \r\n" + Bytes({6, 0, 0, 0, 1, 0, 9, 0, 0, 3}) + "}y";
    EXPECT_EQ(Pack(rtf), packed);
    EXPECT_EQ(Unpack(packed), "x{\\pict\\wmetafile8\\picw100\\pich100 \r\n010009000003}y");
}

TEST(RtfPack, PictureWithoutPayloadPacksAgainAfterUnpacking) {
    const std::string once = Pack("{\\pict\\wmetafile8\\picw1 \r\n0}");
    EXPECT_EQ(once, "{\\pict\\wmetafile8\\picw1 \r\n" + Bytes({0, 0, 0, 0}) + "}");
    EXPECT_EQ(Unpack(once), "{\\pict\\wmetafile8\\picw1 \r\n}");
    EXPECT_EQ(Pack(Unpack(once)), once);
}

TEST(RtfPack, PlainRtfAndOtherPicturesPassUnchanged) {
    const std::string rtf =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard Hello {\\b world}\\par"
        "{\\pict\\pngblip\\picw10 89504E470D0A}\r\n{\\*\\objclass Paint}}";
    EXPECT_EQ(Pack(rtf), rtf);
    EXPECT_EQ(Unpack(rtf), rtf);
}

TEST(RtfPack, BraceWithFewerThanTenBytesAfterItIsCopied) {
    for (const std::string rtf : {"abc{", "{", "{objdata", "{\\*\\objdat", "x{123456789"}) {
        EXPECT_EQ(Pack(rtf), rtf);
        EXPECT_EQ(Unpack(rtf), rtf);
    }
}

TEST(RtfPack, BracesAreRescanned) {
    EXPECT_EQ(Pack("{{\\*\\objdata 01}"), "{{\\*\\objdata" + Bytes({1, 0, 0, 0, 1}) + "}");
}

TEST(RtfPack, OddDigitIsDropped) { EXPECT_EQ(Pack("{\\*\\objdata 010}"), "{\\*\\objdata" + Bytes({1, 0, 0, 0, 1}) + "}"); }

TEST(RtfPack, PayloadBytesThatLookLikeBracesAreSkippedByCount) {
    const std::string rtf = "{\\*\\objdata 7B5C2A5C6F626A646174617D}";  // "{\*\objdata}" as bytes
    EXPECT_EQ(Unpack(Pack(rtf)), "{\\*\\objdata\r\n7B5C2A5C\r\n6F626A64\r\n6174617D\r\n}");
}

// What a user types is text however it looks: the control writes a typed
// brace as "\{" and a backslash as "\\".
TEST(RtfPack, TypedBracesBackslashesAndLookAlikesAreText) {
    const std::string head = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil Arial;}}\\pard\\f0 ";
    for (const std::string body : {
             "\\{objdata 12\\} after\\par\r\n",  // the text now kept whole
             "\\{objdata\\}\\par\r\n",           // every save of it failed
             "\\{\\{objdata 0102 \\}\\}\\par\r\n",
             "a\\\\{\\\\*\\\\objdata 01\\}\\par\r\n",
             "\\'7b\\*\\objdata 01\\'7d and \\'e9\\par\r\n",
             "\\objdatax {\\objdata 0102}{\\b objdata}{\\*\\objclass objdata}\\par\r\n",
             "{\\pict\\wmetax \r\n0102}{\\pict\\wmetafilex 01}{\\pict\\wmetafile8}{\\pictx\\wmetafile8 \r\n01}\\par\r\n",
             "\\{\\pict\\wmetafile8 \\\\\\}\\par\r\n",
             "ends in a backslash \\"}) {
        const std::string rtf = head + body + "}";
        EXPECT_EQ(Pack(rtf), rtf);
        EXPECT_EQ(Unpack(rtf), rtf);
    }
    // A typed backslash before a real object leaves the object packed.
    EXPECT_EQ(Pack("\\\\{\\*\\objdata 0A}\\}"), "\\\\{\\*\\objdata" + Bytes({1, 0, 0, 0, 10}) + "}\\}");
}

// Older builds stored a typed "{objdata" as a packed group, with a count
// where the text went on, and dropped the backslash of the "\}" that ended
// the digits they took; those notes read back as typed where that can be
// told.
TEST(RtfPack, TypedBracesThatOlderBuildsPackedReadBack) {
    EXPECT_EQ(Unpack("\\{objdata 12" + Bytes({0, 0, 0, 0}) + "} after\\par}"), "\\{objdata 12\\} after\\par}");
    EXPECT_EQ(Unpack("x\\{objdata 12" + Bytes({1, 0, 0, 0, 0xAB}) + "}\\par}"), "x\\{objdata 12AB\\}\\par}");
    // The "}" completed an escape that the 10 bytes began.
    EXPECT_EQ(Unpack("\\{objdata 1\\" + Bytes({0, 0, 0, 0}) + "} z}"), "\\{objdata 1\\} z}");
    EXPECT_THROW(Unpack("\\{objdata 12" + Bytes({5, 0, 0, 0, 1}) + "}"), Exception);
    // Such bytes, which the control never writes, are not packed.
    EXPECT_THROW(Pack("\\{objdata 12" + Bytes({0, 0, 0, 0}) + "}"), ERtfPackError);
}

// Notes as the control writes them come back byte for byte but for the
// layout of the packed payloads.
TEST(RtfPack, WrittenNotesComeBackAsWritten) {
    std::mt19937 rng(29);
    test::RtfNoteWriter writer([&](uint32_t n) { return static_cast<uint32_t>(rng() % n); });
    for (int round = 0; round < 1500; ++round) {
        const test::GeneratedNote note = writer.Note(1 + round % 40);
        const std::string packed = Pack(note.rtf);
        ASSERT_EQ(Unpack(packed), note.unpacked) << note.rtf;
        ASSERT_EQ(Pack(note.unpacked), packed) << note.rtf;
    }
}

TEST(RtfPack, BadPayloadIsAClearError) {
    try {
        Pack("{\\*\\objdata 01zz}");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_NE(e.Message().find("'z'"), std::string::npos) << e.Message();
    }
    // A backslash is no digit, even as the odd last one.
    EXPECT_THROW(Pack("{\\*\\objdata 0102\\}"), ERtfPackError);
    EXPECT_THROW(Pack("{\\pict\\wmetafile8\\picw1 \r\n0102\\}"), ERtfPackError);
    // A word that only begins as "objdata" cannot be told from one by the
    // bytes that are stored before the count.
    EXPECT_THROW(Pack("{\\*\\objdatax 01}"), ERtfPackError);
    EXPECT_THROW(Pack("{\\*\\objdata 0102"), ERtfPackError);                 // never closed
    EXPECT_THROW(Pack("{\\pict\\wmetafile8\\picw1 0102}"), ERtfPackError);    // no line feed before the payload
    EXPECT_THROW(Pack("{\\pict\\wmetafile8\\picw1\n0102}"), ERtfPackError);  // ditto
}

TEST(RtfPack, DamagedPackedGroupsAreCorrupt) {
    const std::string packed = Pack("{\\*\\objdata 0105000002000000}");
    for (size_t cut = 11; cut < packed.size(); ++cut) {
        try {
            Unpack(packed.substr(0, cut));
            ADD_FAILURE() << "cut at " << cut;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), "File is corrupt!");
        }
    }
    std::string huge = packed;
    huge[11] = '\xFF';
    huge[14] = '\x7F';
    EXPECT_THROW(Unpack(huge), Exception);
    EXPECT_THROW(Unpack("{\\pict\\wmetafile8 \r"), Exception);
}

TEST(RtfPack, PackingIsStableOverRoundTrips) {
    std::mt19937 rng(11);
    const char* pieces[] = {"\\par\r\n", "text ", "{\\b bold}", "{", "}", "{\\*\\objdata 01050000\r\n0200AABB}",
                            "{\\pict\\wmetafile8\\picw5\\pich5 \r\n0A0B\r\n0C}", "{\\pict\\dibitmap0 0A0B}"};
    for (int round = 0; round < 200; ++round) {
        std::string rtf;
        for (int i = 0; i < 30; ++i) rtf += pieces[rng() % 8];
        const std::string once = Pack(rtf);
        const std::string back = Unpack(once);
        EXPECT_EQ(Pack(back), once);
        EXPECT_EQ(Unpack(Pack(back)), back);
    }
}

TEST(RtfPack, WorksFromTheStreamPosition) {
    const std::string rtf = "HEADER{\\*\\objdata 0A}";
    TMemoryStream in(std::vector<uint8_t>(rtf.begin(), rtf.end())), out;
    in.SetPosition(6);
    out.WriteBuffer("xy", 2);
    PackRtfObjects(in, out);
    EXPECT_EQ(out.AsString(), "xy{\\*\\objdata" + Bytes({1, 0, 0, 0, 10}) + "}");
}

}  // namespace
}  // namespace treskel
