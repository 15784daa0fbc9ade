// The Lite's binding of its game code to the loaded document: the shared
// mechanism by position (BindGameControls, over the Lite's table of
// positions, which the Lite's entry chooses at start), then the Lite's own
// references into its match screen (g_liteControls) from that table.
#pragma once

struct LiteControls;
class BoundGui;

// Fills the Lite's own references from the bound document: null where the
// document does not hold them (yet).
void FillLiteControls(const BoundGui& bound, LiteControls& lite);

// Run once right after the Lite's document has loaded.
void BindLiteGameControls();
