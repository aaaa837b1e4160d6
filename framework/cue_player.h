// Cue sounds: a short WAV file played in the background, fire and forget.
#pragma once

#define CUE_CLICK "sound\\click.wav"
#define CUE_SOFT_CLICK "sound\\soft_click.wav"
#define CUE_BEEP_APPROACH "sound\\beep2.wav"
#define CUE_BEEP_CAPTURE "sound\\beep3.wav"
#define CUE_BEEP_DEVIATION "sound\\beep4.wav"

// Starts the cue at `path` (relative to the host's working directory) and returns at once;
// a cue still playing is cut short. The result of the system call is not looked at.
void play_cue(const char* path);
