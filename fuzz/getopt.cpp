// getopt over any argument vector and option string: it ends, it only
// answers characters of the option string, '?' or -1, and an option that
// takes an argument gets one from the vector.
#include "fuzz_support.h"
#include "tool/getopt.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CFuzzInput in(data, size);
    static const char* const kOptions[] = {"w:c:i", "*ab:c!", "ab:", ":!*", "x"};
    const uint8_t pick = in.Byte();
    const std::string opts = pick < 200 ? kOptions[pick % 5] : std::string(in.Text().c_str());
    // The rest: the elements, separated by zero bytes.
    std::vector<std::string> texts = {"tool"};
    const std::string rest = in.Rest();
    for (size_t start = 0; start <= rest.size() && texts.size() < 64;) {
        const size_t end = std::min(rest.find('\0', start), rest.size());
        texts.push_back(rest.substr(start, end - start));
        start = end + 1;
    }
    std::vector<std::vector<char>> storage;
    std::vector<char*> argv;
    for (const std::string& t : texts) storage.emplace_back(t.c_str(), t.c_str() + t.size() + 1);
    for (auto& s : storage) argv.push_back(s.data());
    argv.push_back(nullptr);
    const int argc = int(texts.size());

    getoptreset();
    size_t calls = 0;
    const size_t bound = rest.size() + texts.size() + 2; // each call moves on by a character
    for (;; ++calls) {
        OSTRELLE_FUZZ_CHECK(calls <= bound);
        const int c = getopt(argc, argv.data(), opts.c_str());
        if (c == -1) break;
        OSTRELLE_FUZZ_CHECK(optindex >= 1 && optindex <= argc);
        if (c == '?' && opts.find('?') == std::string::npos) continue;
        OSTRELLE_FUZZ_CHECK(c > 0 && opts.find(char(c)) != std::string::npos);
        if (optarg) {
            bool inside = false;
            for (auto& s : storage)
                inside = inside || (optarg >= s.data() && optarg < s.data() + s.size());
            OSTRELLE_FUZZ_CHECK(inside);
        }
    }
    OSTRELLE_FUZZ_CHECK(optindex >= 1 && optindex <= argc);
    return 0;
}
