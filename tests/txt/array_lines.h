// Shared by the text-list tests: a list as strings, and a small folder tree.
#pragma once

#include "txt/ctxtarray.h"

#include "tests/platform/dir_fixture.h"

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

// A temporary folder holding d/f.txt and d/s/g.txt; d_ is the path of d.
class CTxtArrayDirTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        d_ = Mkdir("d");
        Write("d/f.txt", "f");
        Write("d/s/g.txt", "g");
    }
    std::string d_;
};
