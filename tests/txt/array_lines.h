// A text list's elements as strings, for comparisons in tests.
#pragma once

#include "txt/ctxtarray.h"

#include <algorithm>
#include <string>
#include <vector>

using Lines = std::vector<std::string>;

// The elements in order; an element without text shows as "<none>".
inline Lines Items(const CTxtArray& a) {
    Lines out;
    for (int i = 0; i < a.GetSize(); ++i) {
        const char* t = a.GetAtTxt(i);
        out.push_back(t ? t : "<none>");
    }
    return out;
}

// The same lines sorted, where listing order is unspecified.
inline Lines Sorted(Lines l) {
    std::sort(l.begin(), l.end());
    return l;
}
