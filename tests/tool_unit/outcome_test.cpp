// Single command lines run in-process on a scene, each read back from the
// context's own sinks: what the command printed and what became of it,
// without touching the process's standard output.
#include "tool/interpreter.h"
#include "winsys/sim/simdesktop.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace {

std::unique_ptr<CSimDesktop> Scene(const char* name) {
    std::ifstream in(std::string(OSTRELLE_SOURCE_DIR) + "/tests/tool/scenes/" + name + ".json");
    std::stringstream text;
    text << in.rdbuf();
    std::string error;
    auto d = CSimDesktop::FromJson(text.str(), name, &error);
    EXPECT_NE(d, nullptr) << error;
    return d;
}

TEST(Outcomes, EachLineSaysWhatBecameOfIt) {
    struct Case {
        const char* scene;
        WsHandle current;
        const char* line;
        const char* out; // what the line printed
        Fault fault;
        const char* reason; // empty: done
    } cases[] = {
        {"targets", 0, "Wnd,draft", "New Window: 0x00000400 (Draft - Editor)\n", Fault::kNone, ""},
        {"targets", 0, "Wnd,no such", "Title 'NO SUCH' not found (Class=)\n",
         Fault::kWindowNotFound, "window not found: title 'NO SUCH' (class '')"},
        {"targets", 0, "Wnd,0x0", "New Window: 0x00000000 ()\n", Fault::kInvalidArgument,
         "invalid argument: no handle in '0x0'"},
        {"targets", 0, "Wnd,0x4321", "New Window: 0x00004321 ()\n", Fault::kWindowNotFound,
         "window not found: 0x00004321"},
        {"targets", 0, "WndClass,Nope,Edit", "Title 'Nope' and CLass 'Edit' not found\n",
         Fault::kWindowNotFound, "window not found: title 'Nope' of class 'Edit'"},
        {"targets", 0, "FindDlg,File", "window=   512 (00000200)\r\n", Fault::kNone, ""},
        {"targets", 0, "FindDlg,Print", "window=     0 (00000000)\r\n", Fault::kWindowNotFound,
         "window not found: dialog 'Print'"},
        {"targets", 0x200, "Btn,Save",
         "Clicking on Button '&Save' (00000201)Clicking on Button "
         "'Save all' (00000202)",
         Fault::kNone, ""},
        {"targets", 0x200, "Btn,Open", "", Fault::kNoSuchControl,
         "no such control: no button 'Open'"},
        {"targets", 0x777, "Desc", "() hW=0777 (0x00000000, ID=0) , (0,0,0,0)\r\n",
         Fault::kWindowNotFound, "window not found: window 0x00000777"},
        {"targets", 0x400, "Clk,X+,1,1", "", Fault::kInvalidArgument,
         "invalid argument: 'X+,1,1' is not {C|L|M|R}{+|-|D},X,Y"},
        {"reports", 0, "ComboBox,0323", nullptr, Fault::kNotAComboBox,
         "not a combo box: window 0x00000323 is of class 'ListBox'"},
        {"reports", 0, "ListBox,0320", nullptr, Fault::kNotAListBox,
         "not a list box: window 0x00000320 is of class 'ComboBox'"},
        {"reports", 0, "Menu,zzz", "", Fault::kNothingToRead,
         "nothing to read: no menu on the desktop answers"},
        {"targets", 0, "Frobnicate", "Unknown Command\n", Fault::kUnknownCommand,
         "unknown command: 'Frobnicate'"},
        {"targets", 0, ";remark", "", Fault::kNone, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        auto d = Scene(c.scene);
        CCapturingContext ctx(*d);
        ctx.state.hWnd = c.current;
        const Outcome outcome = RunLine(ctx, c.line);
        if (c.out) {
            EXPECT_EQ(ctx.TakeOut(), c.out);
        }
        EXPECT_EQ(outcome.fault, c.fault);
        EXPECT_EQ(outcome.Done() ? std::string() : outcome.Reason(), c.reason);
        EXPECT_EQ(ctx.TakeErr(), "");
    }
}

// The table gives each variant its own entry: Cmd sends and Post posts,
// ScanUp and ScanDn go opposite ways, Key, Char and SysKey post their own
// messages.
TEST(Outcomes, TheTableChoosesTheVariant) {
    struct Case {
        const char* line;
        const char* firstEvent; // the first event of its kind the line caused
    } cases[] = {
        {"Cmd,5,5,1", "send 00000400 WM_COMMAND 00000005 00000400 -> 0"},
        {"Post,5,5,1", "post 00000400 WM_COMMAND 00000005 00000400"},
        {"Key,q", "post 00000400 WM_KEYDOWN 00000071 00000000"},
        {"Char,q", "post 00000400 WM_CHAR 00000071 00000000"},
        {"SysKey,q", "post 00000400 WM_SYSKEYDOWN 00000071 00000000"},
        {"ScanUp,9,70000", "post 00000006 WM_COMMAND 00000009 00000006"},
        {"ScanDn,9,70000", "post 00000400 WM_COMMAND 00000009 00000400"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        auto d = Scene("targets");
        CCapturingContext ctx(*d);
        ctx.state.hWnd = 0x400;
        d->CaptureLog(true);
        EXPECT_TRUE(RunLine(ctx, c.line).Done());
        std::string first;
        for (const std::string& event : d->LogLines())
            if (event.rfind("send ", 0) == 0 || event.rfind("post ", 0) == 0) {
                first = event;
                break;
            }
        EXPECT_EQ(first, c.firstEvent);
    }
}

// A strict run stops at the first failed line; every failed line is kept
// with its input, number and word, whether the run is strict or not.
TEST(Outcomes, StrictRunsStopAtTheFirstFailure) {
    for (bool strict : {false, true}) {
        SCOPED_TRACE(strict);
        auto d = Scene("targets");
        CCapturingContext ctx(*d);
        ctx.strict = strict;
        ctx.inputName = "-";
        // The interpreter reads lines from the stream's descriptor: a file.
        FILE* in = std::tmpfile();
        ASSERT_NE(in, nullptr);
        std::fputs("Wnd,draft\nBogus\nWnd,no such\nDesc\n", in);
        std::rewind(in);
        int seen = 0;
        ctx.onLine = [&seen](const LineOutcome&) { ++seen; };
        RunCommands(ctx, in);
        std::fclose(in);
        EXPECT_EQ(ctx.stopped, strict);
        EXPECT_EQ(ctx.linesRun, strict ? 2u : 4u);
        EXPECT_EQ(seen, strict ? 2 : 4);
        ASSERT_EQ(ctx.failures.size(), strict ? 1u : 2u);
        EXPECT_EQ(ctx.failures[0].input, "-");
        EXPECT_EQ(ctx.failures[0].line, 2);
        EXPECT_EQ(ctx.failures[0].word, "Bogus");
        EXPECT_EQ(ctx.failures[0].outcome.fault, Fault::kUnknownCommand);
        const std::string out = ctx.TakeOut();
        EXPECT_EQ(out.find(">Desc") == std::string::npos, strict);
    }
}

} // namespace

namespace {

// A line longer than the sink's own buffer is written whole.
TEST(Output, PrintfWritesTextsOfAnyLength) {
    for (size_t n : {0u, 1u, 1023u, 1024u, 5000u}) {
        CStringOutput out;
        const std::string text(n, 'x');
        out.Printf("<%s>", text.c_str());
        EXPECT_EQ(out.Take(), "<" + text + ">");
        EXPECT_EQ(out.Text(), "");
    }
}

} // namespace
