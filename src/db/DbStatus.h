#pragma once
// The result of the database operations, the sorts and the catalogue
// deletion: done, or refused. What a refusal leaves behind is said where
// each is declared. The numbers are fixed at 0 and 1, so a status still
// compares with them.

namespace pelagor {

// clang-format 14 misreads the attribute and glues the brace to the type.
// clang-format off
enum [[nodiscard]] DbStatus : int { kDbDone = 0, kDbRefused = 1 };
// clang-format on

}  // namespace pelagor
