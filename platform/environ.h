// Environment variables of the running process.
#pragma once

// Sets variable name to value for this process (and the children it starts
// afterwards); value null removes the variable.  False on failure.
bool SetEnvVar(const char* name, const char* value);
