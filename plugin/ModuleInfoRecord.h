#pragma once
// The values of the plug-in's module information record, in the record's order.

#include <array>
#include <cstdint>

namespace notecast::module_info {

inline constexpr const char* kModuleId = "{6f1c2d8e-93a4-4b57-b0de-5a7c41e2f903}";
inline constexpr const char* kModuleName = "Notecast";
inline constexpr const char* kDescription = "Sendet Midi Daten";
inline constexpr const char* kAuthor = "The Notecast developers";
inline constexpr std::int32_t kSetting5 = 0;
inline constexpr std::int32_t kSetting6 = -1;
inline constexpr std::int32_t kSetting7 = 2;
inline constexpr const char* kWindowClassName = "Configfrm";
inline constexpr std::int32_t kSetting10 = -1;
inline constexpr std::int32_t kSetting12 = 0;
inline constexpr std::int32_t kSetting13 = 0;
inline constexpr std::int32_t kSetting14 = -1;
// The host messages the module takes part in; 15 is the DMX channel change.
inline constexpr std::array<std::int32_t, 21> kMessageCodes = {
    9, 15, 3, 22, 21, 14, 35, 17, 28, 25, 33, 23, 34, 4, 20, 30, 8, 7, 6, 29, 31};

}  // namespace notecast::module_info
