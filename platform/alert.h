// An error alert that interrupts the operator.
#pragma once

// Shows caption and text as an error: a modal message box with no owner
// window on Windows, elsewhere the caption and then the text, each on its own
// line, on the standard error stream.  Returns when the alert is dismissed.
void ErrorAlert(const char* caption, const char* text);
