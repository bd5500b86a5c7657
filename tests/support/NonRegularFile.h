// A thing that is no regular file, planted where a program expects one.
#pragma once

#include <filesystem>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace tv::test {

// Replaces the file at `path` by a pipe that nobody ever writes to (opening it
// to read waits for a writer); on Windows, whose folders hold no pipes, by a
// folder. False when it could not be made.
inline bool PlantNonRegularFile(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
#ifdef _WIN32
    return std::filesystem::create_directory(path, ec);
#else
    return ::mkfifo(path.c_str(), 0600) == 0;
#endif
}

}  // namespace tv::test
