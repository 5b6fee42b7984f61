// Control ids of the main dialog, the About command and the About box.
#pragma once

namespace tinta {

inline constexpr int kIdStatic = -1;  // group boxes and labels

inline constexpr int kIdRun = 1;
inline constexpr int kIdExit = 2;
inline constexpr int kIdSettings = 3;
inline constexpr int kIdInitialise = 4;
inline constexpr int kIdHelp = 9;
inline constexpr int kIdPreview = 10;
inline constexpr int kIdProgress = 1000;
inline constexpr int kIdInputFileList = 1001;
inline constexpr int kIdChooseInputFolder = 1002;
inline constexpr int kIdChooseOutputFolder = 1004;
inline constexpr int kIdOutputFolder = 1005;
inline constexpr int kIdOutputFormat = 1006;
inline constexpr int kIdInputMask = 1007;
inline constexpr int kIdInputFolder = 1008;
inline constexpr int kIdFilterList = 1009;
inline constexpr int kIdEdging = 1010;

inline constexpr int kIdAboutCommand = 16;  // the About entry of the context menu
inline constexpr int kIdAboutBox = 100;
inline constexpr int kIdAppIcon = 128;

}  // namespace tinta
