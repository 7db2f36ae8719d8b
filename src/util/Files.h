// The run directory and the two file-system questions the generation asks.
//
// Seam: Windows uses the W functions on names converted from code page 936. Tests install a fake.
#pragma once

#include "util/Text.h"

class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual Text RunDirectory() = 0;
    virtual bool FileExists(const Text& name) = 0;
    virtual bool CreateDirectory(const Text& name) = 0;
    // What the generation needs to keep half-written downloads out of the output folder.
    virtual Bytes ReadWholeFile(const Text& name) { return Bytes(); }
    virtual bool RenameFile(const Text& from, const Text& to) { return false; }  // never replaces `to`
    virtual bool RemoveFile(const Text& name) { return false; }
};

// The folder of an executable's full path, without the trailing backslash: "C:\a\b.exe" gives
// "C:\a", "C:\b.exe" gives "C:". The backslash is found walking code page 936 characters, so a
// trail byte 0x5C is not taken for one.
Text RunDirectoryFromModulePath(const Text& modulePath);

Text RunDirectory();
bool FileExists(const Text& name);
bool CreateDirectory(const Text& name);
Bytes ReadWholeFile(const Text& name);
bool RenameFile(const Text& from, const Text& to);
bool RemoveFile(const Text& name);

// Replaces the file system (null restores the platform's); returns the one it replaced.
FileSystem* SetFileSystemForTesting(FileSystem* fs);
