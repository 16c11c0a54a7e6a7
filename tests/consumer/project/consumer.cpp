// Uses a little of every part of the library through "ostrelle.h" and
// prints what it got; the test compares the output.
#include "ostrelle.h"

#include <cstdio>
#include <string>

namespace {

const char* const kScene = R"JSON({"windows": [
  {"handle": 16, "class": "#32770", "text": "Fixture Dialog", "children": [
    {"handle": 17, "class": "Button", "text": "&Save", "id": 1001}]}]})JSON";

} // namespace

int main(int argc, char* argv[]) {
    // Options.
    int c;
    std::string w;
    while ((c = getopt(argc, argv, "w:")) != -1)
        if (c == 'w') w = optarg;
    std::printf("option w=%s next=%d\n", w.c_str(), optindex);

    // Fields and texts.
    char field[32];
    strfld("Wnd,Untitled,Notepad", ',', 2, 2, field, sizeof field);
    CTxt text;
    strfldtxt("Host|example|80", '|', 2, 99, &text);
    text.AddTxt("!");
    std::printf("field=%s text=%s length=%d hex=%X\n", field, (const char*)text, text.GetLength(),
                hexvalue("1A2B"));

    // Lists.
    CTxtArray lines;
    lines.LoadFromTxt("b\nA\nc\n");
    lines.Sort();
    std::printf("sorted=%s,%s,%s\n", lines.GetAtTxt(0), lines.GetAtTxt(1), lines.GetAtTxt(2));

    // Dates.
    CVKTDateTime date;
    date.SetDT(20051218, 123456);
    CString shown;
    date.GetStr(shown, 0);
    std::printf("date=%s valid=%d\n", shown.c_str(), date.IsValid());

    // A simulated desktop, driven through the window-system interface.
    std::string error;
    std::unique_ptr<CWinSys> desktop = LoadSceneText(kScene, "consumer", &error);
    if (!desktop) {
        std::printf("scene: %s\n", error.c_str());
        return 1;
    }
    CWinSys* previous = SetWinSys(desktop.get());
    char caption[64] = "";
    WinSys().GetWindowTextA(WinSys().GetDlgItem(16, 1001), caption, sizeof caption);
    std::printf("%s\nbutton=%s\n", WinSys().Description(), caption);
    SetWinSys(previous);
    return 0;
}
