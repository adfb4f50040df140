#pragma once
// Every id of the string table the code names, in one place. The texts themselves live in
// strings.cpp; an id here without a text there reads as "".

namespace pelkorl::text {

// The settings or layout files a close could not write (%1: their names, one a line).
inline constexpr int FILES_NOT_WRITTEN = 183;
// Caption of the folder picker at a start without data: which folder holds them.
inline constexpr int DATA_FOLDER_QUESTION = 184;
// The data location dialog: the folder it looked for (%1), or that none is chosen.
inline constexpr int LOOKED_IN_FOLDER = 185;
inline constexpr int NO_FOLDER_CHOSEN = 186;
// A data folder given on the command line that is not a folder (%1: its name).
inline constexpr int NOT_A_DATA_FOLDER = 187;

} // namespace pelkorl::text
