#pragma once
// Ready-made workspaces, all built through the database operations.
// Results: each function returns the workspace it built; the builder's Add
// functions return the index they filled, -1 when the operations refused.

#include "files/Workspace.h"

namespace pelagor {

// A handful of records of every kind: two DVB-S satellites with TPs in the
// catalogue, a catalogue-only entry, a cable pseudo-satellite, TV and radio
// channels (scrambled, locked, in favourite lists, with providers), one TP
// still marked new, and a name starting with a character-table selector.
[[nodiscard]] Workspace SmallWorkspace(ModelId model, bool withProviders = true);

// Every image table at its limit: 200 satellites, 800 TPs, 8000 channels,
// all sixteen favourite lists full, 2000 providers.
[[nodiscard]] Workspace FullWorkspace(ModelId model);

// The demo workspace: a model-1 workspace that looks like a receiver's own.
[[nodiscard]] Workspace DemoWorkspace();

}  // namespace pelagor
