// Small file-system helpers shared by everything that writes files the user owns.
#pragma once

#include <sys/types.h>
#include <string>

namespace tarvo::platform {

// Creates `path` and its missing parents with `mode`. Returns true when the directory exists
// afterwards.
bool MakeDirectories(const std::string& path, mode_t mode);

// Replaces `path` with `contents`: writes a temporary file beside it, syncs it and renames it
// into place, so a reader sees either the old file or the whole new one. Returns false (and
// leaves the old file as it was) on any failure.
bool WriteFileAtomically(const std::string& path, const std::string& contents, mode_t mode);

// Replaces a file the user owns with `contents` as WriteFileAtomically does, written through a
// symbolic link (the link stays) and keeping the permissions of a file that exists (a new one
// gets 0644). Returns false, errno set, and the old file as it was on any failure.
bool ReplaceUserFile(const std::string& path, const std::string& contents);

// Reads a whole file of at most `maxBytes` bytes into *contents. Returns 0, ENOENT when the
// file does not exist, EFBIG when it is larger than `maxBytes`, or another errno.
int ReadSmallFile(const std::string& path, std::size_t maxBytes, std::string* contents);

// The directory part of `path` ("." when it has none).
std::string DirectoryOf(const std::string& path);

// A private directory under $TMPDIR (else /tmp), removed with everything in it when the object
// goes. Empty until Make succeeds.
class TemporaryDirectory {
  public:
    TemporaryDirectory() = default;
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    // Makes the directory, named `prefix` and six random characters (mode 0700). Returns false,
    // errno set, when it cannot be made; a second call keeps the first directory.
    bool Make(const std::string& prefix);

    // Its path, or empty before Make succeeded.
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace tarvo::platform
