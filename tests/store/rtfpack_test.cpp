#include <gtest/gtest.h>

#include <random>

#include "store/RtfPack.h"

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

TEST(RtfPack, BadPayloadIsAClearError) {
    try {
        Pack("{\\*\\objdata 01zz}");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_NE(e.Message().find("'zz'"), std::string::npos) << e.Message();
    }
    EXPECT_THROW(Pack("{\\*\\objdata 0102"), ERtfPackError);                 // never closed
    EXPECT_THROW(Pack("{\\pict\\wmetafile8\\picw1 0102}"), ERtfPackError);    // no line feed before the payload
    EXPECT_THROW(Pack("{\\pict\\wmetafile8\\picw1\n0102}"), ERtfPackError);  // ditto
    EXPECT_THROW(Pack("{\\pict\\wmetafile8}"), ERtfPackError);
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
