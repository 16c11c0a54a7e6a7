// What became of one command: done, or failed with the kind of failure and
// what it concerned.  Nothing a script sees depends on it unless the run is
// strict (TOLVANE_STRICT=1), which stops at the first failure.
#pragma once

#include <string>

enum class Fault {
    kNone,
    kWindowNotFound,  // the window named or searched for is not there
    kNoSuchControl,   // the window has no control that fits
    kNoAnswer,        // a window did not answer within the send bound
    kNotAListBox,     // the target is not a list box
    kNotAComboBox,    // the target is not a combo box
    kNotAListView,    // the target is not a list view
    kNothingToRead,   // the target holds nothing the command could read
    kFileNotWritten,  // a file the command writes could not be written
    kAllocFailed,     // memory in the other process could not be had
    kInvalidArgument, // the argument text says nothing the command can do
    kNotACheckBox,    // the target is not a check box or radio button
    kNoSuchItem,      // the list or menu has no item that fits
    kItemDisabled,    // the menu item is disabled or grayed
    kNoMenu,          // the window has no menu this process can read
    kNotChanged,      // the target did not take the state asked for
    kStillThere,      // the window waited for did not go
    kUnknownCommand,  // no command has this word
};

struct Outcome {
    Fault fault = Fault::kNone;
    std::string detail; // what the failure concerned; empty when done

    bool Done() const { return fault == Fault::kNone; }
    // "window not found: title 'Calc'": the kind of failure, then the detail.
    std::string Reason() const;
};

inline Outcome Done() {
    return Outcome{};
}
inline Outcome Failed(Fault fault, std::string detail) {
    return Outcome{fault, std::move(detail)};
}

// The kind of failure in words ("window not found").
const char* FaultName(Fault fault);
