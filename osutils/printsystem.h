// The print system's own answer to a print job, apart from the rest of the operating system so
// that only the windows, which print, link the print system's library. Each system has one source
// file of its own, chosen by CMake: winprintsystem.cpp on Windows, nixprintsystem.cpp elsewhere.
#pragma once

namespace rigtune::os {

// Whether the print system took the last job this thread handed it. Qt's own print engine drops
// that answer on some systems; where the system gives none, true.
bool printSystemTookLastJob();

} // namespace rigtune::os
