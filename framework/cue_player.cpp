#include "cue_player.h"

#include "platform.h"

void play_cue(const char* path) {
    PlaySoundA(path, NULL, CUE_SND_FILENAME | CUE_SND_ASYNC);
}
