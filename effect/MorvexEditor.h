#pragma once

// Morvex's editor: a 424 x 104 panel drawn from the bundle's 13 images.
inline constexpr int kMorvexEditorWidth = 424;
inline constexpr int kMorvexEditorHeight = 104;
