// Tests that read the Windows build's .gau files skip, with this reason, where the build was
// configured without one. Every reason a test skips for starts with "panel-skipped:" (or, for
// the wine tests, "panel-wine-skipped:"), so that tools/test.sh can count them and say why.
#pragma once

inline constexpr const char* no_windows_build =
    "panel-skipped: no Windows build configured (configure with -DPANEL_WINDOWS_BUILD_DIR=DIR, as "
    "tools/test.sh does for the native suite)";
