// Native modules leave PlaySoundA undefined; the dynamic loader binds it to the play-sound
// shim library that the host links. The host points the shim at the active service context,
// so that a cue lands in the log of the call in progress, as it does on Windows.
#include "cue_import_posix.h"

#include "play_sound_shim.h"
#include "service_table.h"

namespace panel {
namespace {

void record(const char* path, uint32_t flags) {
    record_cue_request(path, flags);
}

}  // namespace

void bind_cue_import() {
    panel_set_play_sound_handler(&record);
}

}  // namespace panel
