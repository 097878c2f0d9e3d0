#pragma once
// Program identity strings, shared by every window and box.
namespace Identity {
inline constexpr const char* AppTitle = "Kelvara 1.9 Beta";
inline constexpr const char* EarlyTitle = "Kelvara";
inline constexpr const char* FaultCaption = "Kelvara 1.9 Beta fault";
inline constexpr const char* Version = "1.9 Beta";
inline constexpr const char* MainClassName = "TfrMain";
inline constexpr const char* HomePage = "https://kelvara.invalid/";
inline constexpr const char* ReportAddress = "bugs@kelvara.invalid";
inline constexpr const char* Licence = "GNU GPL 3.0+";
}  // namespace Identity
