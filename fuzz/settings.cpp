// The settings file: any file is read, and a write that succeeds reads back
// as written while every other key keeps its value; asking a switch twice
// leaves the file as the first ask left it.
#include "diag/settings.h"
#include "fuzz_support.h"

#include <fstream>
#include <sstream>
#include <string>

namespace {

constexpr char kDefault[] = "\x01no such key";

std::string Read(const char* section, const char* key, const std::string& path) {
    static char buf[8192];
    const int n = ReadIniString(section, key, kDefault, buf, sizeof buf, path.c_str());
    OSTRELLE_FUZZ_CHECK(n >= 0 && n < int(sizeof buf));
    return std::string(buf, size_t(n));
}

std::string Contents(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// Names as the file compares them: blanks and tabs around them do not count,
// nor does the letter case.
std::string Name(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return std::string();
    std::string n = s.substr(b, s.find_last_not_of(" \t") - b + 1);
    for (char& c : n) c = char(std::tolower(static_cast<unsigned char>(c)));
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CFuzzInput in(data, size);
    const std::string section(in.Text().c_str()), key(in.Text().c_str());
    const std::string other(in.Text().c_str()), otherKey(in.Text().c_str());
    const std::string valueText(in.Text().c_str());
    const bool remove = in.Byte() == 0xFF;
    const int def = in.Byte() & 1;
    const std::string path = FuzzFile("settings.ini", in.Rest());

    Read(section.c_str(), key.c_str(), path);
    const std::string before = Read(other.c_str(), otherKey.c_str(), path);

    const char* value = remove ? nullptr : valueText.c_str();
    if (WriteIniString(section.c_str(), key.c_str(), value, path.c_str()) == 1) {
        OSTRELLE_FUZZ_CHECK(Read(section.c_str(), key.c_str(), path) == (value ? value : kDefault));
        if (Name(other) != Name(section) || Name(otherKey) != Name(key))
            OSTRELLE_FUZZ_CHECK(Read(other.c_str(), otherKey.c_str(), path) == before);
    }

    // A switch asked for twice: the second ask finds what the first left.
    const int yes = ReadIniBool(other.c_str(), otherKey.c_str(), def, path.c_str());
    const std::string after = Contents(path);
    OSTRELLE_FUZZ_CHECK(ReadIniBool(other.c_str(), otherKey.c_str(), def, path.c_str()) == yes);
    OSTRELLE_FUZZ_CHECK(Contents(path) == after);
    return 0;
}
