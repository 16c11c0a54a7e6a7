// The tool's entry: name, options, inputs, exit code.
#include "tool/entry.h"

int main(int argc, char* argv[]) {
    return ToolMain(argc, argv);
}
