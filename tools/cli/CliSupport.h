#pragma once
// What every pelagor-cli command shares: loading a workspace file with the
// editor's messages, failing with an exit status, and text for output.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "files/Workspace.h"

namespace pelagor::cli {

// Exit statuses: 0 done, 1 failed (the message is on standard error),
// 2 usage error.
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Written when a file cannot be written (the editor itself fails silently).
inline constexpr std::string_view kFileWriteErrorText = "File Write Error !!!";

// Prints the message on standard error and ends the command with status 1
// (throws CLI::RuntimeError, which main turns into the exit status).
[[noreturn]] void Fail(std::string_view message);

// The load step of the editor without its side file; fails with "File Open
// Error !!!" or "Invalid File Format !". bytes receives the file.
void LoadOrFail(const std::string& path, Workspace& ws, std::vector<uint8_t>* bytes = nullptr);

// Writes as Save does; fails with kFileWriteErrorText.
void WriteOrFail(const Workspace& ws, const std::string& path);

// Record text (bytes up to the first NUL, at most n) as UTF-8, bytes from
// 0x80 up read as ISO 8859-1, so any record gives valid output.
std::string RecordText(const uint8_t* p, size_t n);

}  // namespace pelagor::cli
