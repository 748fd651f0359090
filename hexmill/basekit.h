// CBasekit: the memory and file services the Hexmill coder is built on.
//
// Every member returns a long: zero or a length on success, a negative
// BasekitError on failure. Buffers handed out are released with Sfree by the
// same kind of object. None of the members releases what a pointer held
// before: a caller that stores a new buffer into a pointer releases the old
// one itself.
//
// The members are virtual so that a derived class can put its own allocation
// or file access in their place (tests use this to make them fail).
#pragma once

#include "hexmill_export.h"

#include <cstddef>

// Failure codes of CBasekit. -1 and -8 are left to the coder built on it.
enum BasekitError : long {
    BASEKIT_NO_MEMORY = -2,    // the allocator refused the request
    BASEKIT_BAD_ARGUMENT = -3, // a null pointer address, source or path
    BASEKIT_TOO_LARGE = -4,    // a size that cannot be represented or held
    BASEKIT_OPEN_FAILED = -5,  // the file to read cannot be opened
    BASEKIT_READ_FAILED = -6,  // reading the file failed part way
    BASEKIT_WRITE_FAILED = -7, // writing, flushing or closing the new file failed
    BASEKIT_CREATE_FAILED = -9, // the new file cannot be created
    BASEKIT_RENAME_FAILED = -10, // the new file cannot take the place of the old
};

class HEXMILL_EXPORT CBasekit {
public:
    CBasekit() = default;
    virtual ~CBasekit() = default;

    // `count` uninitialised bytes into *ptr (at least one byte is always
    // obtained, so a successful call never leaves *ptr null).
    virtual long Smalloc(char **ptr, size_t count);
    // A zero-filled buffer of `count` characters into *ptr.
    virtual long SmallocChar(char **ptr, size_t count);
    // A new buffer holding the `count` bytes at `source`.
    virtual long SmemCpy(char **ptr, size_t count, const void *source);
    // The same, followed by a NUL (count + 1 characters).
    virtual long SmemCpyChar(char **ptr, size_t count, const void *source);
    // A new copy of the NUL-terminated `source`; returns its length.
    virtual long SmemStrCpy(char **ptr, const char *source);
    // Releases *ptr (null is fine) and sets it to null.
    virtual void Sfree(char **ptr);

    // Reads the whole file at `path` into a new NUL-terminated buffer and
    // returns its length in bytes.
    virtual long SFileRead(const char *path, char **ptr);
    // Writes `count` bytes to `path`. The file is written beside the target
    // under a temporary name and then renamed over it, so an old file is
    // either replaced whole or left as it was. Where no temporary file can
    // be made beside it, the target is written in place. A symbolic link is
    // followed (the link stays); a FIFO or device is written in place.
    virtual long SFileWrite(const void *data, size_t count, const char *path);
};
