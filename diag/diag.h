// Diagnostics: reporting, trace log, settings file.
#pragma once
