#pragma once

namespace tambrel::editor {

// Tab stops stand every eight spaces of the editor's font, as in the desktop's other editors, so
// that they grow and shrink with the font the user picks.
inline constexpr int kSpacesPerTab = 8;

inline float TabStopDistance(float space_advance) {
  return space_advance > 0 ? space_advance * kSpacesPerTab : 8.0f * kSpacesPerTab;
}

}  // namespace tambrel::editor
