// Notes as the rich-edit control writes them, made at random, each with the
// RTF that packing and then unpacking must give back for it: the same bytes
// but for the payloads of objects and metafile pictures, which come back in
// upper-case digits laid out as unpacking lays them out.  Portable: the
// packer's tests and its fuzz target share it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace treskel::test {

struct GeneratedNote {
    std::string rtf;       // what the control wrote
    std::string unpacked;  // what packing then unpacking gives back
};

class RtfNoteWriter {
public:
    // `pick(n)` gives a number below n (n > 0).
    explicit RtfNoteWriter(std::function<uint32_t(uint32_t)> pick) : pick_(std::move(pick)) {}

    GeneratedNote Note(int pieces) {
        note_ = {};
        Same("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n"
             "{\\colortbl ;\\red255\\green0\\blue0;}\r\n{\\*\\generator Treskel;}"
             "\\viewkind4\\uc1\\pard\\f0\\fs20 ");
        for (int i = 0; i < pieces; ++i) Piece(2);
        Same("\\par\r\n}\r\n");
        return note_;
    }

    // Text as the control writes what was typed: braces and backslashes
    // escaped, letters beyond ASCII as "\'xx", tabs and line ends as words.
    static std::string Escaped(const std::string& typed) {
        std::string s;
        for (unsigned char c : typed) {
            if (c == '\\' || c == '{' || c == '}') {
                s += '\\';
                s += static_cast<char>(c);
            } else if (c == '\t') {
                s += "\\tab ";
            } else if (c == '\r' || c == '\n') {
                s += "\\par\r\n";
            } else if (c < 0x20 || c >= 0x80) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\'%02x", c);
                s += hex;
            } else {
                s += static_cast<char>(c);
            }
        }
        return s;
    }

private:
    uint32_t Pick(uint32_t n) { return pick_(n); }
    void Same(const std::string& s) {
        note_.rtf += s;
        note_.unpacked += s;
    }

    void Piece(int depth) {
        switch (Pick(depth > 0 ? 12 : 8)) {
            case 0: Same(Escaped(TypedText())); break;
            case 1: Same(Escaped(Word())); break;
            case 2: Same("\\par\r\n"); break;
            case 3: Same(FormatWord()); break;
            case 4: Same(LookAlikeWord()); break;
            case 5: Same("\\'" + Hex(static_cast<uint8_t>(0x80 + Pick(0x80)), Pick(2) == 0)); break;
            case 6: Picture(depth > 0 ? "\\wmetafile8" : "\\emfblip"); break;
            case 7: Same(OtherGroup()); break;
            case 8: Object(depth); break;
            case 9: Picture("\\wmetafile8"); break;
            case 10: Field(depth); break;
            default:
                Same("{" + FormatWord());
                for (uint32_t i = Pick(4); i > 0; --i) Piece(depth - 1);
                Same("}");
                break;
        }
    }

    std::string TypedText() {
        static const char chars[] = "abcdefABCDEF0123456789 {}\\{}'*.,;xyz";
        std::string s;
        for (uint32_t n = Pick(24); n > 0; --n) {
            const uint32_t r = Pick(10);
            s += r == 0 ? static_cast<char>(0x80 + Pick(0x80)) : r == 1 ? '\t' : chars[Pick(sizeof chars - 1)];
        }
        return s;
    }

    // Words a user types that name what the packer looks for.
    std::string Word() {
        static const char* const words[] = {"{objdata 12} after", "{objdata}", "{objdata",      "objdata}",
                                            "{\\*\\objdata 01}", "\\pict\\wmetafile8", "{\\pict\\wmet}", "{{objdata}}",
                                            "{ objdata 0102 }",  "\\",                 "{",              "}"};
        return words[Pick(sizeof words / sizeof words[0])];
    }

    std::string FormatWord() {
        static const char* const words[] = {"\\b ",    "\\b0 ",       "\\i ",   "\\ul ",     "\\ulnone ",
                                            "\\cf1 ",  "\\fs24 ",     "\\tab ", "\\lang1031 ", "\\u269?",
                                            "\\line ", "\\highlight1 "};
        return words[Pick(sizeof words / sizeof words[0])];
    }

    // Control words that look like what the packer looks for but are not.
    std::string LookAlikeWord() {
        static const char* const words[] = {"\\objdatax ", "\\pictx ", "\\picwgoal300 ", "\\wmetafile8 ",
                                            "\\*\\objdata ", "\\objdata ", "\\pict\\wmetafile8 "};
        return words[Pick(sizeof words / sizeof words[0])];
    }

    // Groups the packer leaves alone, some that begin much like the ones
    // it packs.
    std::string OtherGroup() {
        static const char* const groups[] = {
            "{\\*\\objclass objdata}",   "{\\b objdata}",          "{\\objdata 0102}",
            "{\\pict\\wmetax \r\n0102}", "{\\pict\\wmetafilex 01}", "{\\pict\\wmetafile8}",
            "{\\pictures\\wmetafile8 \r\n0A}", "{\\*\\objdat}",     "{\\pict\\wmetafile}",
            "{objdata 12}",              "{\\*\\\\objdata 01}"};
        return groups[Pick(sizeof groups / sizeof groups[0])];
    }

    static std::string Hex(uint8_t b, bool lower) {
        char s[3];
        std::snprintf(s, sizeof s, lower ? "%02x" : "%02X", b);
        return s;
    }

    // Random bytes as hexadecimal text broken into lines: the control's
    // text, and the unbroken upper-case digits.
    std::pair<std::string, std::string> Payload(std::string& bytes) {
        const uint32_t n = Pick(4) == 0 ? Pick(600) : Pick(40);
        const bool lower = Pick(3) != 0;
        const uint32_t line = 2 + Pick(140);
        std::string written, upper;
        for (uint32_t i = 0; i < n; ++i) {
            const auto b = static_cast<uint8_t>(Pick(4) == 0 ? '{' + Pick(3) : Pick(256));
            bytes += static_cast<char>(b);
            written += Hex(b, lower);
            upper += Hex(b, false);
        }
        std::string broken;
        for (size_t i = 0; i < written.size(); i += line) {
            if (i > 0) broken += "\r\n";
            broken += written.substr(i, line);
        }
        if (!broken.empty() && Pick(2) == 0) broken += "\r\n";
        return {broken, upper};
    }

    void Picture(const std::string& kind) {
        const std::string head = "{\\pict" + kind + "\\picw" + std::to_string(Pick(5000)) + "\\pich" +
                                 std::to_string(Pick(5000)) + "\\picwgoal" + std::to_string(Pick(3000)) + " \r\n";
        std::string bytes;
        auto [written, upper] = Payload(bytes);
        note_.rtf += head + written + "}";
        note_.unpacked += head + (kind == "\\wmetafile8" ? upper : written) + "}";
    }

    void Object(int depth) {
        Same("{\\object\\objemb{\\*\\objclass Paint.Picture}\\objw" + std::to_string(Pick(9000)) + "\\objh" +
             std::to_string(Pick(9000)) + "{\\*\\objdata");
        std::string bytes;
        auto [written, upper] = Payload(bytes);
        note_.rtf += (Pick(2) == 0 ? "\r\n" : " ") + written + "}";
        std::string laid = "\r\n";
        for (size_t i = 1; i <= bytes.size(); ++i) {
            laid += upper.substr(2 * (i - 1), 2);
            if (i <= 32 && i % 4 == 0 && i != 16) laid += "\r\n";
        }
        note_.unpacked += laid + "}";
        if (Pick(2) == 0) {
            Same("{\\result");
            Piece(depth - 1);
            Picture("\\wmetafile8");
            Same("}");
        }
        Same("}");
    }

    void Field(int depth) {
        Same("{\\field{\\*\\fldinst{HYPERLINK \"http://" + Escaped(TypedText()) + "\"}}{\\fldrslt{\\ul\\cf1 ");
        Piece(depth - 1);
        Same("}}}");
    }

    std::function<uint32_t(uint32_t)> pick_;
    GeneratedNote note_;
};

}  // namespace treskel::test
