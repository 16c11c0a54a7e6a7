// The framework's string and string array, as the library's interface uses
// them (CVKTDateTime::GetStr, HttpGetUrl, CTxtArray::LoadFromStringArray ...).
#pragma once

#include <string>
#include <vector>

using CString = std::string;
using CStringArray = std::vector<std::string>;
