// The CTxt conversions on any text: each against its rules, the reversible
// ones both ways, and the memory rules after every step.
#include "fuzz_support.h"
#include "txt/ctxt.h"

#include <cmath>
#include <memory>
#include <string>

namespace {

std::string Str(const CTxt& t) {
    return t.GetData() ? std::string(t.GetData(), size_t(t.GetLength())) : std::string();
}

// Length and terminator agree, and the buffer holds both.
void CheckMemory(const CTxt& t) {
    if (!t.GetData()) {
        OSTRELLE_FUZZ_CHECK(t.GetLength() == 0 && t.GetCapacity() == 0);
        return;
    }
    OSTRELLE_FUZZ_CHECK(std::strlen(t.GetData()) == size_t(t.GetLength()));
    OSTRELLE_FUZZ_CHECK(t.GetCapacity() >= t.GetLength() + 1);
}

bool Printable(unsigned char c) {
    return c >= 0x20 && c <= 0x7E;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// ConvHTM2TXT by its rules, up to the first zero byte it produces.
std::string ExpectedHtm(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size();) {
        const size_t rest = s.size() - i;
        std::string six = s.substr(i, 6);
        for (char& c : six) c = char(std::tolower(static_cast<unsigned char>(c)));
        if (six == "&nbsp;") {
            out += ' ';
            i += 6;
        } else if (s[i] == '\\') {
            if (rest > 1) out += s[i + 1];
            i += rest > 1 ? 2 : 1;
        } else if (s[i] == '+') {
            out += ' ';
            ++i;
        } else if (s[i] == '%' && rest > 1 && s[i + 1] == '%') {
            out += '%';
            i += 2;
        } else if (s[i] == '%' && rest > 1 && HexDigit(s[i + 1]) >= 0) {
            // hextoint of the next two: a second character outside the
            // hexadecimal digits ends the run (a blank is a zero digit).
            int v = HexDigit(s[i + 1]);
            if (rest > 2 && s[i + 2] == ' ')
                v = v * 16;
            else if (rest > 2 && HexDigit(s[i + 2]) >= 0)
                v = v * 16 + HexDigit(s[i + 2]);
            if (v == 0) break;
            out += char(v);
            i += rest > 3 ? 3 : rest;
        } else {
            out += s[i++];
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CFuzzInput in(data, size);
    const int key = in.Int(-5, 500);
    const int mode = in.Range(0, 3);
    const int count = in.Int(-3, 1100);
    const int width = in.Int(-3, 400);
    const int precision = in.Int(-3, 120);
    uint64_t bits = in.U64();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    const std::string raw = in.Rest();
    const std::string text(raw.c_str());
    const char* t = text.c_str();

    // Hexadecimal, both ways: a text without zero bytes comes back whole.
    CTxt hex(t);
    if (text.empty()) {
        OSTRELLE_FUZZ_CHECK(hex.ConvHex(1) == -1 && hex.ConvHex(0) == -1);
    } else {
        OSTRELLE_FUZZ_CHECK(hex.ConvHex(1) == int(2 * text.size()));
        OSTRELLE_FUZZ_CHECK(Str(hex).find_first_not_of("0123456789ABCDEF") == std::string::npos);
        OSTRELLE_FUZZ_CHECK(hex.ConvHex(0) == int(text.size()) && Str(hex) == text);
        CTxt pairs(t);
        OSTRELLE_FUZZ_CHECK(pairs.ConvHex(0) <= int((text.size() + 1) / 2));
        CheckMemory(pairs);
    }

    // The shift of the printable characters, undone by the other mode.
    CTxt prot(t);
    OSTRELLE_FUZZ_CHECK(prot.ConvProt(0, key) == int(text.size()));
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char a = static_cast<unsigned char>(text[i]);
        const unsigned char b = static_cast<unsigned char>(prot.GetData()[i]);
        OSTRELLE_FUZZ_CHECK(Printable(a) ? Printable(b) : a == b);
    }
    OSTRELLE_FUZZ_CHECK(prot.ConvProt(mode == 0 ? 1 : mode, key) == int(text.size()));
    OSTRELLE_FUZZ_CHECK(Str(prot) == text);

    // Line-break escapes: undone where the text holds no backslash.
    CTxt crlf(t);
    crlf.ConvCRLF(0);
    CheckMemory(crlf);
    OSTRELLE_FUZZ_CHECK(Str(crlf).find_first_of("\r\n\t") == std::string::npos);
    crlf.ConvCRLF(1);
    if (text.find('\\') == std::string::npos) OSTRELLE_FUZZ_CHECK(Str(crlf) == text);
    CTxt unescape(t);
    OSTRELLE_FUZZ_CHECK(unescape.ConvCRLF(1) <= int(text.size()));
    CheckMemory(unescape);

    // XML entities: only printable characters come out, each byte's entity
    // at most six long.
    CTxt xml(t);
    const int xl = xml.ConvTxt2XML();
    OSTRELLE_FUZZ_CHECK(xl >= int(text.size()) && xl <= 6 * int(text.size()));
    for (char c : Str(xml)) OSTRELLE_FUZZ_CHECK(Printable(static_cast<unsigned char>(c)));
    OSTRELLE_FUZZ_CHECK(xml.ConvXML2Txt() == 0);

    // Web-form and HTML escapes.
    CTxt htm(t);
    htm.ConvHTM2TXT();
    CheckMemory(htm);
    OSTRELLE_FUZZ_CHECK(Str(htm) == ExpectedHtm(text));

    // Byte lists and numbers.
    CTxt list;
    const int n = count > 0 && count <= 1000 ? count : 0;
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[size_t(n) + 1]);
    for (int i = 0; i < n; ++i)
        bytes[size_t(i)] = static_cast<unsigned char>(raw[size_t(i) % (raw.size() + 1)]);
    list.GetHexArray(bytes.get(), count);
    OSTRELLE_FUZZ_CHECK(n > 0 ? list.GetLength() == 3 * n
                              : Str(list).rfind("GetHexArray(", 0) == 0);
    CTxt num;
    const int vl = num.MakeValueTxt(value, precision);
    CheckMemory(num);
    OSTRELLE_FUZZ_CHECK(vl >= 1 && vl < 100);
    // A fixed-point result is the value rounded to at most precision decimals.
    if (std::isfinite(value) && std::fabs(value) < 1e15 && precision >= 0 && precision <= 97 &&
        Str(num).find('e') == std::string::npos)
        OSTRELLE_FUZZ_CHECK(std::fabs(std::strtod(num.GetData(), nullptr) - value) <=
                            0.5 * std::pow(10.0, -precision) * (1 + 1e-9) +
                                std::fabs(value) * 4e-16);
    num.MakeHexValue(int(bits), mode * 2);
    OSTRELLE_FUZZ_CHECK(num.GetLength() == (mode == 0 ? 8 : mode * 2));
    num.GetHex((unsigned long)bits, mode);
    OSTRELLE_FUZZ_CHECK(num.GetLength() == (mode == 0 ? 8 : mode * 2));

    // A fixed width: a prefix of the text without trailing blanks.
    CTxt fixed;
    fixed.SetTxtFixLen(t, width);
    CheckMemory(fixed);
    const std::string f = Str(fixed);
    OSTRELLE_FUZZ_CHECK(f.size() <= size_t(width < 0 ? 0 : width) &&
                        text.compare(0, f.size(), f) == 0);
    OSTRELLE_FUZZ_CHECK(f.empty() || f.back() != ' ');
    return 0;
}
