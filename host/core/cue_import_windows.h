// The 32-bit Windows test host's stand-in for WINMM's PlaySoundA (see cue_import_windows.cpp).
#pragma once

namespace panel {

enum class CueImport {
    redirected,    // every PlaySoundA slot of the module now leads to the recorder
    not_imported,  // the module imports no PlaySoundA from WINMM: it plays no cue
    failed,        // a PlaySoundA slot was found but could not be rewritten
};

// Points the module's imported PlaySoundA at a recorder that logs each cue in the log of the
// call in progress instead of playing it.
CueImport redirect_cue_import(void* module_handle);

}  // namespace panel
