// The skin step: install the skin library beside the program, attach a skin.
//
// Integration: link qz_skin_win; it brings the library image and the 33
// skins along as the program's RCDATA resources (numbers in skin_resources.h),
// so the program's own .rc needs nothing for them.
#pragma once

namespace qz {

// Writes SkinH_EL.dll beside the program when nothing of that name is there,
// then hands skin n (1..33; any other number: no skin) to SkinH_AttachRes.
// A library or function that cannot be found, or memory for the copy that
// cannot be had, ends the program through qz::fatal.
void run_skin_step(int skin_number);

// Unloads the skin library if it was loaded; at the program's end, and also
// on the way out after a fatal report.
void release_skin_library();

}  // namespace qz
