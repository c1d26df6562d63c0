// Staging folders: fresh folders the program files are copied into before
// they are moved into place.
#pragma once

// Makes a staging folder inside parent (created if missing, its own parent
// must exist): the name GetTempFileNameA gives with the prefix "VOD", its file
// replaced by a folder that only SYSTEM and the Administrators may use (on
// NT). staging (MAX_PATH bytes) receives the path with a trailing backslash.
// Answers 1 when the folder was made.
int MakeStagingFolder(const char* parent, char* staging);
