#pragma once
// The transfer commands of pelagor-cli: a file to the receiver, and the
// receiver's data into a file, by ZMODEM behind the announcement frames.

#include <CLI/CLI.hpp>

namespace pelagor::cli {

// download --port DEV FILE: frame 2, then FILE by ZMODEM. "Download Success !..."
// on standard output; "File Open Failed !" (nothing sent), "Download Cancelled !"
// or "Download Failed !" on standard error with status 1.
// upload --port DEV OUT [--no-announce]: frame 3 (unless --no-announce), then
// the ZMODEM receive; OUT gets the received bytes. "Upload Cancelled !" or
// "Upload Error !" on standard error with status 1.
// Both show a progress line when standard error is a terminal; Ctrl+C stops the
// transfer as the dialog's Stop does. --byte-wait-ms shortens the wait on a
// silent line (14000 by default).
void AddTransferCommands(CLI::App& app);

}  // namespace pelagor::cli
