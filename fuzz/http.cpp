// The answer of an HTTP server as both transports read it: the head (status
// line, header lines, the empty line), its Location and the URL in it.  A
// head is complete exactly when its empty line has arrived: any shorter
// piece of it is a cut one.
#include "datetime/httpget.h"
#include "fuzz_support.h"
#include "platform/http.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CFuzzInput in(data, size);
    const std::string name(in.Text().c_str());
    const size_t cutAt = in.U16();
    const std::string raw = in.Rest();

    HttpHead head{-7, 7};
    const int r = HttpParseHead(raw, &head);
    OSTRELLE_FUZZ_CHECK(r >= -1 && r <= 1);
    if (r != 1) {
        OSTRELLE_FUZZ_CHECK(head.status == -7 && head.length == 7);
    } else {
        OSTRELLE_FUZZ_CHECK(head.status >= 0 && head.status <= 999);
        OSTRELLE_FUZZ_CHECK(head.length >= 2 && head.length <= raw.size() &&
                            raw[head.length - 1] == '\n');
        // The head alone is the same head; any shorter piece of it is cut.
        HttpHead again;
        OSTRELLE_FUZZ_CHECK(HttpParseHead(raw.substr(0, head.length), &again) == 1);
        OSTRELLE_FUZZ_CHECK(again.status == head.status && again.length == head.length);
        OSTRELLE_FUZZ_CHECK(HttpParseHead(raw.substr(0, head.length - 1), nullptr) == 0);
        const size_t k = cutAt % head.length;
        OSTRELLE_FUZZ_CHECK(HttpParseHead(raw.substr(0, k), nullptr) != 1);
        HttpHeadBoundsBody(raw.substr(0, head.length), head.status);
    }

    // Header values, as the redirect takes its Location: no blanks around,
    // no line end inside.
    for (const char* n : {"Location", name.c_str()}) {
        std::string value = "kept";
        if (!HttpHeaderValue(raw, n, &value)) {
            OSTRELLE_FUZZ_CHECK(value == "kept");
            continue;
        }
        OSTRELLE_FUZZ_CHECK(value.find('\n') == std::string::npos);
        OSTRELLE_FUZZ_CHECK(value.empty() || (value.front() != ' ' && value.back() != ' '));
        HttpGetService service;
        HttpTarget target;
        if (HttpParseUrl(value.c_str(), service, target)) {
            OSTRELLE_FUZZ_CHECK(!target.host.empty());
            OSTRELLE_FUZZ_CHECK(target.port >= 1 && target.port <= 65535);
            OSTRELLE_FUZZ_CHECK(!target.path.empty() && target.path[0] == '/');
        }
    }
    return 0;
}
