// Date and time, HTTP GET and time synchronisation.
#pragma once
