// CTxt conversions: tables of cases plus round-trip properties.
#include "txt/ctxt.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <random>
#include <string>

namespace {

std::string str(const CTxt& t) {
    return t.GetData() ? std::string(t.GetData(), size_t(t.GetLength())) : "<none>";
}

// Random texts of 0..maxLen bytes drawn from the given alphabet.
class TextSource {
public:
    explicit TextSource(unsigned seed) : rng_(seed) {}
    std::string Next(const std::string& alphabet, size_t maxLen) {
        std::uniform_int_distribution<size_t> len(0, maxLen);
        std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
        std::string s(len(rng_), ' ');
        for (char& c : s) c = alphabet[pick(rng_)];
        return s;
    }
    int Key() {
        std::uniform_int_distribution<int> small(-5, 500);
        std::uniform_int_distribution<int> any(INT_MIN, INT_MAX);
        return rng_() % 4 == 0 ? any(rng_) : small(rng_);
    }

private:
    std::mt19937 rng_;
};

std::string AllBytesButZero() {
    std::string s;
    for (int c = 1; c < 256; ++c) s += char(c);
    return s;
}

// ---- ConvHex -------------------------------------------------------------------------

TEST(CTxtConvert, ConvHex) {
    struct Case {
        const char* text;
        int encode;
        int result;
        std::string expect;
    } cases[] = {
        {"AZ", 1, 4, "415A"},
        {"\xE9\x01", 1, 4, "E901"},
        {"415A", 0, 2, "AZ"},
        {"414", 0, 2, std::string("A\x04")},
        {"4100", 0, 1, "A"},
        {"4142", 0, 2, "AB"},
        {"6a6B", 0, 2, "jk"},
        {"4G41", 0, 2,
         std::string("\x04"
                     "A")},
        {"zz41", 0, 0, ""},
        {"4 41", 0, 2,
         std::string("\x04"
                     "A")},
        {"", 1, -1, ""},
        {"", 0, -1, ""},
    };
    for (const Case& c : cases) {
        CTxt t(c.text);
        EXPECT_EQ(t.ConvHex(c.encode), c.result) << c.text;
        EXPECT_EQ(str(t), c.expect) << c.text;
    }
    CTxt none;
    EXPECT_EQ(none.ConvHex(1), -1);
    EXPECT_EQ(none.GetData(), nullptr);
}

TEST(CTxtConvert, ConvHexRoundTripProperty) {
    TextSource source(20261208);
    const std::string alphabet = AllBytesButZero();
    for (int i = 0; i < 2000; ++i) {
        std::string text = source.Next(alphabet, 300);
        if (text.empty()) continue;
        CTxt t(text.c_str());
        ASSERT_EQ(t.ConvHex(1), int(2 * text.size()));
        EXPECT_EQ(std::strspn(t.GetData(), "0123456789ABCDEF"), 2 * text.size());
        ASSERT_EQ(t.ConvHex(0), int(text.size()));
        ASSERT_EQ(str(t), text);
    }
}

// ---- ConvProt ------------------------------------------------------------------------

TEST(CTxtConvert, ConvProtShifts) {
    struct Case {
        const char* text;
        int mode, key;
        const char* expect;
    } cases[] = {
        // position 0 moves by -(key), position 1 by +(key + 1) in mode 0
        {"aa", 0, 1, "`c"}, {"aa", 1, 1, "b_"},     {"  ", 0, 1, "~\""}, // 0x20 - 1 wraps to 0x7E
        {"~~", 1, 1, " |"},                                              // 0x7E + 1 wraps to 0x20
        {"a", 0, 0, "`"},                                                // key below 1 counts as 1
        {"a", 0, -7, "`"},  {"a", 0, 95, "a"}, // a shift of 95 is a full turn
        {"a", 0, 94, "b"},                     // 0x61 - 94 wraps to 0x62
        {"a", 0, 96, "`"},  {"\t\t", 0, 3, "\t\t"},
    };
    for (const Case& c : cases) {
        CTxt t(c.text);
        EXPECT_EQ(t.ConvProt(c.mode, c.key), int(std::strlen(c.text)));
        EXPECT_EQ(str(t), c.expect) << c.text << " mode " << c.mode << " key " << c.key;
    }
}

TEST(CTxtConvert, ConvProtTabCountsAsPosition) {
    CTxt t("a\ta");
    t.ConvProt(0, 1);
    // position 2 is even again: -(1 + 2)
    EXPECT_EQ(str(t), std::string("`\t^"));
}

TEST(CTxtConvert, ConvProtRoundTripProperty) {
    TextSource source(4242);
    const std::string alphabet = AllBytesButZero();
    for (int i = 0; i < 2000; ++i) {
        std::string text = source.Next(alphabet, 300);
        int key = source.Key();
        int other = (i % 3) + 1; // any non-zero mode
        CTxt t(text.c_str());
        ASSERT_EQ(t.ConvProt(0, key), int(text.size()));
        for (size_t k = 0; k < text.size(); ++k) {
            unsigned char in = static_cast<unsigned char>(text[k]);
            unsigned char out = static_cast<unsigned char>(t.GetData()[k]);
            bool printable = in >= 0x20 && in <= 0x7E;
            ASSERT_EQ(printable, out >= 0x20 && out <= 0x7E);
            if (!printable) {
                ASSERT_EQ(in, out);
            }
        }
        ASSERT_EQ(t.ConvProt(other, key), int(text.size()));
        ASSERT_EQ(str(t), text) << "key " << key;
        // and the other way round
        ASSERT_EQ(t.ConvProt(other, key), int(text.size()));
        ASSERT_EQ(t.ConvProt(0, key), int(text.size()));
        ASSERT_EQ(str(t), text) << "key " << key;
    }
}

// ---- ConvCRLF ------------------------------------------------------------------------

TEST(CTxtConvert, ConvCRLF) {
    struct Case {
        const char* text;
        int decode;
        const char* expect;
    } cases[] = {
        {"a\r\nb", 0, "a\\r\\nb"},
        {"a\\r\\nb", 1, "a\r\nb"},
        {"a\\qb", 1, "ab"},
        {"tab\there", 0, "tab\\there"},
        {"a\\tb", 1, "a\tb"},
        {"end\\", 1, "end"},
        {"back\\slash", 0, "back\\slash"},
        {"\\\\", 1, ""},
        {"", 0, ""},
        {"", 1, ""},
    };
    for (const Case& c : cases) {
        CTxt t(c.text);
        EXPECT_EQ(t.ConvCRLF(c.decode), int(std::strlen(c.expect))) << c.text;
        EXPECT_EQ(str(t), c.expect) << c.text;
    }
    CTxt none;
    EXPECT_EQ(none.ConvCRLF(0), 0);
    EXPECT_EQ(none.GetData(), nullptr);
}

TEST(CTxtConvert, ConvCRLFRoundTripProperty) {
    TextSource source(77);
    std::string alphabet = AllBytesButZero();
    alphabet.erase(alphabet.find('\\'), 1);
    alphabet += "\r\n\t\r\n\t\r\n\t"; // line breaks often
    for (int i = 0; i < 2000; ++i) {
        std::string text = source.Next(alphabet, 300);
        CTxt t(text.c_str());
        t.ConvCRLF(0);
        ASSERT_EQ(t.FindCharList("\r\n\t"), text.empty() ? -1 : -2);
        ASSERT_EQ(t.ConvCRLF(1), int(text.size()));
        ASSERT_EQ(str(t), text);
    }
}

// ---- XML and HTML ------------------------------------------------------------------------

TEST(CTxtConvert, ConvTxt2XML) {
    struct Case {
        const char* text;
        const char* expect;
    } cases[] = {
        {"<a href=\"x\">", "&lt;a href=&quot;x&quot;&gt;"},
        {"\t", "&#x09;"},
        {"a\nb", "a&#x0A;b"},
        {"caf\xE9", "caf&#xE9;"},
        {"Tom & Jerry's", "Tom &amp; Jerry&apos;s"},
        {"\x7F~", "&#x7F;~"},
        {"", ""},
    };
    for (const Case& c : cases) {
        CTxt t(c.text);
        EXPECT_EQ(t.ConvTxt2XML(), int(std::strlen(c.expect))) << c.text;
        EXPECT_EQ(str(t), c.expect);
    }
    std::string quotes(1000, '"'); // the widest entity for every byte
    CTxt t(quotes.c_str());
    EXPECT_EQ(t.ConvTxt2XML(), 6000);
    CTxt none;
    EXPECT_EQ(none.ConvTxt2XML(), 0);
    EXPECT_EQ(none.GetData(), nullptr);
}

TEST(CTxtConvert, ConvXML2TxtChangesNothing) {
    CTxt t("&lt;a&gt;");
    EXPECT_EQ(t.ConvXML2Txt(), 0);
    EXPECT_EQ(str(t), "&lt;a&gt;");
}

TEST(CTxtConvert, ConvHTM2TXT) {
    struct Case {
        std::string text;
        std::string expect;
    } cases[] = {
        {"a+b%41%%c&NBSP;d", "a bA%c d"},
        {"&nbsp;&Nbsp;", "  "},
        {"&nbsp", "&nbsp"},
        {"\\+\\%", "+%"},
        {"x\\", "x"},
        {"%4", std::string("\x04")},
        {"a%4G", std::string("a\x04")},
        {"%2B%2b", "++"},
        {"%e9", "\xE9"},
        {"100%%", "100%"},
        {"plain", "plain"},
        {"a%00b", "a"}, // an escaped zero byte ends the text
        // A '%' that is not followed by a hexadecimal digit is itself.
        {"100% sure", "100% sure"},
        {"%", "%"},
        {"%zzq", "%zzq"},
        {"% 4", "% 4"},
        {"50%+", "50% "},
        {"%g%41", "%gA"},
    };
    for (const Case& c : cases) {
        CTxt t(c.text.c_str());
        EXPECT_EQ(t.ConvHTM2TXT(), int(c.expect.size())) << c.text;
        EXPECT_EQ(str(t), c.expect) << c.text;
    }
    CTxt none;
    EXPECT_EQ(none.ConvHTM2TXT(), 0);
}

TEST(CTxtConvert, ConvHTM2TXTStopsAtTheEnd) {
    CTxt u("xy%");
    u.ConvHTM2TXT();
    EXPECT_EQ(str(u), "xy%"); // a last '%' escapes nothing
    CTxt w("xy%4");
    w.ConvHTM2TXT();
    EXPECT_EQ(str(w), "xy\x04");
    CTxt v("q\\");
    v.ConvHTM2TXT();
    EXPECT_EQ(str(v), "q");
}

// ---- Hex and number texts -------------------------------------------------------------------

TEST(CTxtConvert, GetHex) {
    struct Case {
        unsigned long value;
        int part;
        const char* expect;
    } cases[] = {
        {0x1234ABCDUL, 1, "CD"},       {0x1234ABCDUL, 2, "ABCD"},     {0x1234ABCDUL, 3, "34ABCD"},
        {0x1234ABCDUL, 0, "1234ABCD"}, {0x1234ABCDUL, 4, "1234ABCD"}, {0xAUL, 7, "0000000A"},
    };
    for (const Case& c : cases) {
        CTxt t;
        t.GetHex(c.value, c.part);
        EXPECT_EQ(str(t), c.expect) << c.part;
    }
}

TEST(CTxtConvert, MakeHexValue) {
    struct Case {
        int value, digits;
        const char* expect;
    } cases[] = {
        {0x4241, 2, "41"},       {0x4241, 4, "4241"}, {0x4241, 6, "004241"},
        {0x4241, 3, "00004241"}, {-1, 8, "FFFFFFFF"}, {-1, 4, "FFFF"},
    };
    for (const Case& c : cases) {
        CTxt t;
        EXPECT_EQ(t.MakeHexValue(c.value, c.digits), int(std::strlen(c.expect)));
        EXPECT_EQ(str(t), c.expect) << c.digits;
    }
}

TEST(CTxtConvert, GetHexArray) {
    const unsigned char bytes[] = {0x0A, 0xFF, 0x10};
    CTxt t;
    t.GetHexArray(bytes, 3);
    EXPECT_EQ(str(t), "0A,FF,10,");
    t.GetHexArray(bytes, 0);
    EXPECT_EQ(str(t), "GetHexArray(0By)");
    t.GetHexArray(bytes, 1001);
    EXPECT_EQ(str(t), "GetHexArray(1001By)");
    t.GetHexArray(bytes, -2);
    EXPECT_EQ(str(t), "GetHexArray(-2By)");
    t.GetHexArray(nullptr, 3);
    EXPECT_EQ(str(t), "GetHexArray(3By)");

    std::string many(1000, '\x5A');
    t.GetHexArray(reinterpret_cast<const unsigned char*>(many.data()), 1000);
    EXPECT_EQ(t.GetLength(), 3000);
    EXPECT_EQ(str(t).substr(2994), "5A,5A,");
}

TEST(CTxtConvert, MakeValueTxt) {
    struct Case {
        double value;
        int precision;
        const char* expect;
    } cases[] = {
        {1.5, 3, "1.5"},
        {2.0, 2, "2"},
        {100.0, 0, "100"},
        {-0.25, 4, "-0.25"},
        {0.0, 3, "0"},
        {10.0, 1, "10"},
        {1234.5678, 2, "1234.57"},
        {-3.0, 0, "-3"},
        {1e100, 0, "1e+100"},
        {1e300, 2, "1e+300"},
        {-1.5e200, 3, "-1.5e+200"},
        {1.0 / 3.0, 120, "0.33333333333333331"},
        {INFINITY, 2, "inf"},
        {-INFINITY, 0, "-inf"},
    };
    for (const Case& c : cases) {
        CTxt t;
        EXPECT_EQ(t.MakeValueTxt(c.value, c.precision), int(std::strlen(c.expect)));
        EXPECT_EQ(str(t), c.expect) << c.value << " / " << c.precision;
    }
    // A precision that cannot fit gives the exponent form at once, without
    // building the fixed-point text first.
    struct Long {
        double value;
        int precision;
        const char* expect;
    } longs[] = {
        {1.5, 400000000, "1.5"},
        {1.5, INT_MAX, "1.5"},
        {-2.25, 98, "-2.25"},
        {0.1, INT_MAX, "0.10000000000000001"},
        {1e300, INT_MAX, "1.0000000000000001e+300"},
        {0.5, 97, "0.5"}, // 97 decimals still fit the fixed form
    };
    for (const Long& c : longs) {
        CTxt t;
        EXPECT_EQ(t.MakeValueTxt(c.value, c.precision), int(std::strlen(c.expect)));
        EXPECT_EQ(str(t), c.expect) << c.value << " / " << c.precision;
    }
    CTxt t;
    t.MakeValueTxt(1e97, 0); // 98 characters still fit the fixed form
    EXPECT_EQ(t.GetLength(), 98);
    EXPECT_EQ(t.FindChar('e'), -2);
}

} // namespace
