// CTxt::BinaryRead over any file: every record it takes holds a text whose
// length is the record's, and saved again it reads back the same.
#include "fuzz_support.h"
#include "txt/ctxt.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path =
        FuzzFile("records.bin", std::string(reinterpret_cast<const char*>(data), size));
    FILE* f = std::fopen(path.c_str(), "rb");
    OSTRELLE_FUZZ_CHECK(f != nullptr);
    std::vector<std::string> texts;
    // Every record takes at least five bytes, so this many reads reach the end.
    for (size_t i = 0; i <= size / 5 + 1; ++i) {
        CTxt t("before");
        if (t.BinaryRead(f) != 0) {
            OSTRELLE_FUZZ_CHECK(t.GetData() == nullptr && t.GetLength() == 0);
            break;
        }
        OSTRELLE_FUZZ_CHECK(t.GetData() != nullptr);
        OSTRELLE_FUZZ_CHECK(std::strlen(t.GetData()) == size_t(t.GetLength()));
        OSTRELLE_FUZZ_CHECK(t.GetCapacity() == t.GetLength() + 2);
        texts.emplace_back(t.GetData());
    }
    std::fclose(f);

    // What was read, saved and read again.
    const std::string copy = FuzzTempDir() + "/copy.bin";
    f = std::fopen(copy.c_str(), "wb+");
    OSTRELLE_FUZZ_CHECK(f != nullptr);
    for (const std::string& s : texts) {
        CTxt t(s.c_str());
        OSTRELLE_FUZZ_CHECK(t.BinarySave(f) == int(s.size()) + 5);
    }
    std::rewind(f);
    for (const std::string& s : texts) {
        CTxt t;
        OSTRELLE_FUZZ_CHECK(t.BinaryRead(f) == 0 && s == t.GetData());
    }
    CTxt end;
    OSTRELLE_FUZZ_CHECK(end.BinaryRead(f) == -1);
    std::fclose(f);
    return 0;
}
