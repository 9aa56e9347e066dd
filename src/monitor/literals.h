#pragma once
// The tool's own texts, as their code page 936 bytes. The readable form of
// each is in the comment beside it; the bytes are what is written and compared.

#include "common/text.h"

namespace urlcheck {

inline const Text kCaptionStart = "\xBF\xAA\xCA\xBC";  // 开始
inline const Text kCaptionStop = "\xCD\xA3\xD6\xB9";   // 停止
inline const Text kTitleWorking = "\xD5\xFD\xD4\xDA\xB9\xA4\xD7\xF7\xD6\xD0";          // 正在工作中
inline const Text kTitleWorkingOpen = "\xD5\xFD\xD4\xDA\xB9\xA4\xD7\xF7\xD6\xD0(";     // 正在工作中(
inline const Text kTitleWorkingClose = ")";
inline const Text kTitleStopped = "\xD2\xD1\xCD\xA3\xD6\xB9\xB9\xA4\xD7\xF7";          // 已停止工作
inline const Text kResultSeparator = " ";
inline const Text kSuccessStatus = "200";

inline const Text kUrlListPath = "D:\\url.txt";
inline const Text kSuccessLogPath = "d:/\xC8\xD5\xD6\xBE.txt";  // d:/日志.txt
inline const Text kErrorLogPath = "d:/error.txt";

// Initial texts of the window's controls.
inline const Text kSecondsLabelText = "\xC3\xEB";         // 秒
inline const Text kIntervalBoxText = "5";
inline const Text kSpareButtonText = "\xB0\xB4\xC5\xA5";  // 按钮

}  // namespace urlcheck
