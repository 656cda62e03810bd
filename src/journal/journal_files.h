// The files half of the undo journal: a copy of every file before it is
// deleted or handed to the erase batch, and a line for every folder before
// it is removed. Both answer whether the removal may go on; when they say
// no they have logged why, and the caller keeps the item and goes on with
// its next one.
#pragma once

#include <string>

// Copies the file into the journal and lists it with its attributes as they
// are now (call it before any attribute is cleared for the delete). True when
// the journal is off, the file is missing or a folder (nothing a file delete
// could remove), or the copy and its line were written.
bool JournalFile(const std::string& path);

// Lists a folder that is about to be removed (now or by the erase batch).
// True when the journal is off or the line was written.
bool JournalFolder(const std::string& path);
