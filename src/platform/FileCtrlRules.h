// What a directory list shows for a folder: the folders of its path from
// the drive's root down, each open, then its sub-folders.  No <windows.h>.
#pragma once

#include <string>
#include <vector>

namespace treskel {

struct TDirEntry {
    std::string name;   // "C:\" for the root, else the folder's name
    int level = 0;      // 0 for the root
    bool open = false;  // part of the path shown
    bool operator==(const TDirEntry&) const = default;
};

// "C:\Notes\2024" as {"C:\", "Notes", "2024"}; letter case kept, repeated
// and trailing separators dropped.  A path without a drive gives its
// folders only.
std::vector<std::string> SplitDirectoryPath(const std::string& dir);
// The entries of `dir` with its sub-folders (sorted without regard to
// case, "." and ".." left out).
std::vector<TDirEntry> DirectoryEntries(const std::string& dir, std::vector<std::string> subFolders);
// The path of entry `index`: the open entries above it and its own name.
std::string DirectoryEntryPath(const std::vector<TDirEntry>& entries, int index);
// The index of the folder shown (the last open entry); -1 for none.
int CurrentDirectoryEntry(const std::vector<TDirEntry>& entries);

}  // namespace treskel
