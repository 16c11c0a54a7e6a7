#include "tool/getopt.h"

#include <cctype>
#include <cstdio>
#include <cstring>

char* optarg = nullptr;
int optindex = 1;
int optpos = 1;
int optchar = 0;
int optnum = -1;

namespace {

bool numericPassDone = false;

// Rewrites every "-<digit>…" element: digits become '*' and add up to optnum.
void NumericPass(int argc, char* const argv[]) {
    optnum = -1;
    for (int i = 1; i < argc; ++i) {
        char* e = argv[i];
        if (!e || e[0] != '-' || !std::isdigit((unsigned char)e[1])) continue;
        // Unsigned, so that an endless run of digits wraps instead of
        // overflowing.
        unsigned value = 0;
        for (char* p = e + 1; *p; ++p) {
            if (!std::isdigit((unsigned char)*p)) continue;
            value = value * 10u + unsigned(*p - '0');
            *p = '*';
        }
        optnum = int(value);
    }
}

void NextPosition(const char* element) {
    ++optpos;
    if (element[optpos] == '\0') {
        optpos = 1;
        ++optindex;
    }
}

} // namespace

extern "C" int getopt(int argc, char* const argv[], const char* opts) OSTRELLE_GETOPT_NOTHROW {
    if (!numericPassDone) {
        numericPassDone = true;
        if (opts[0] == '*') NumericPass(argc, argv);
    }
    if (optpos == 1) {
        if (optindex >= argc) return -1;
        const char* e = argv[optindex];
        if (!e || e[0] != '-' || e[1] == '\0') return -1;
        if (std::strcmp(e, "--") == 0) {
            ++optindex;
            return -1;
        }
    }
    char* element = argv[optindex];
    int c = (unsigned char)element[optpos];
    optchar = c;
    const char* at = c ? std::strchr(opts, c) : nullptr;
    if (!at) {
        std::fprintf(stderr, "getopt: incorrect option: %c", c);
        NextPosition(element);
        return '?';
    }
    if (at[1] != ':' && at[1] != '!') {
        NextPosition(element);
        optarg = nullptr;
        return c;
    }
    if (element[optpos + 1] != '\0') {
        optarg = element + optpos + 1;
        ++optindex;
        optpos = 1;
        return c;
    }
    ++optindex;
    if (optindex >= argc) {
        std::fprintf(stderr, "getopt: the following option requires an argument:");
        optpos = 1;
        return '?';
    }
    optarg = argv[optindex];
    ++optindex;
    optpos = 1;
    return c;
}

void getoptreset() {
    optarg = nullptr;
    optindex = 1;
    optpos = 1;
    optchar = 0;
    optnum = -1;
    numericPassDone = false;
}
