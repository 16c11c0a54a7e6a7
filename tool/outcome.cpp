#include "tool/outcome.h"

const char* FaultName(Fault fault) {
    switch (fault) {
    case Fault::kNone:
        return "done";
    case Fault::kWindowNotFound:
        return "window not found";
    case Fault::kNoSuchControl:
        return "no such control";
    case Fault::kNoAnswer:
        return "no answer within the send bound";
    case Fault::kNotAListBox:
        return "not a list box";
    case Fault::kNotAComboBox:
        return "not a combo box";
    case Fault::kNotAListView:
        return "not a list view";
    case Fault::kNothingToRead:
        return "nothing to read";
    case Fault::kFileNotWritten:
        return "file not written";
    case Fault::kAllocFailed:
        return "allocation in the other process failed";
    case Fault::kInvalidArgument:
        return "invalid argument";
    case Fault::kNotACheckBox:
        return "not a check box or radio button";
    case Fault::kNoSuchItem:
        return "no such item";
    case Fault::kItemDisabled:
        return "item disabled";
    case Fault::kNoMenu:
        return "no menu";
    case Fault::kNotChanged:
        return "state did not change";
    case Fault::kStillThere:
        return "window still there";
    case Fault::kUnknownCommand:
        return "unknown command";
    }
    return "failed";
}

std::string Outcome::Reason() const {
    std::string reason = FaultName(fault);
    if (!detail.empty()) reason += ": " + detail;
    return reason;
}
