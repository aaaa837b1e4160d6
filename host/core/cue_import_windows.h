// The 32-bit Windows test host's stand-in for WINMM's PlaySoundA (see cue_import_windows.cpp).
#pragma once

namespace panel {

// Points the module's imported PlaySoundA at a recorder that logs each cue in the log of the
// call in progress instead of playing it. Returns false when the module imports no
// PlaySoundA from WINMM (it then plays no cue this host could hear).
bool redirect_cue_import(void* module_handle);

}  // namespace panel
