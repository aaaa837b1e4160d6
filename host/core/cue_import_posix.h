// Native builds: where a module's PlaySoundA calls land (see cue_import_posix.cpp).
#pragma once

namespace panel {

// Points the play-sound shim at the host's cue recorder. Harmless to call again.
void bind_cue_import();

}  // namespace panel
