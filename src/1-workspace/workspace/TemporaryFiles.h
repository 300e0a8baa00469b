#pragma once

#include <string>

namespace kav {

// The temporary copies a write makes beside its target (".kav-XXXXXX"). Each
// is registered in storage set aside at start before the file is made, so
// that a signal that ends the program can remove it without allocating.

// Makes a new empty file from pattern (ending "XXXXXX", as mkstemp) and
// registers its name; the file's descriptor, or -1 with errno set. `made`
// receives the name.
int MakeTemporaryFile(const std::string& pattern, std::string& made);

// The temporary file is gone or has become the target: it no longer needs
// removing.
void ForgetTemporaryFile(const std::string& name);

// Makes a new empty folder only this user may use from pattern (ending
// "XXXXXX", as mkdtemp) and registers it like a temporary file; its name, or
// an empty one when it cannot be made.
std::string MakeTemporaryFolder(const std::string& pattern);

// Removes a folder MakeTemporaryFolder made (when it is empty).
void RemoveTemporaryFolder(const std::string& name);

// SIGINT, SIGTERM and SIGHUP remove every registered temporary file and
// folder, then end
// the program by the same signal (its default action).
void RemoveTemporaryFilesOnSignals();

}  // namespace kav
