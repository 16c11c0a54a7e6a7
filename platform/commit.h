// Committing a file's data to the storage device.
#pragma once

// Commits everything written to descriptor fd so far to the storage device
// (beyond the system's caches).  False when the system reports a failure.
bool CommitFd(int fd);
