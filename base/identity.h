#pragma once
// Program identity strings, shared by every window and box.
namespace Identity {
inline constexpr const char* AppTitle = "Kelvara 1.9 Beta";
inline constexpr const char* EarlyTitle = "Kelvara";
inline constexpr const char* FaultCaption = "Kelvara 1.9 Beta fault";
inline constexpr const char* Version = "1.9 Beta";
inline constexpr const char* MainClassName = "TfrMain";
// Where the project lives and where faults are reported. A build for
// distribution names its own (cmake -DKELVARA_HOME_PAGE=...
// -DKELVARA_REPORT_ADDRESS=...); until the project has a public home these
// are reserved names that reach nobody.
#ifndef KELVARA_HOME_PAGE
#define KELVARA_HOME_PAGE "https://kelvara.invalid/"
#endif
#ifndef KELVARA_REPORT_ADDRESS
#define KELVARA_REPORT_ADDRESS "bugs@kelvara.invalid"
#endif
inline constexpr const char* HomePage = KELVARA_HOME_PAGE;
inline constexpr const char* ReportAddress = KELVARA_REPORT_ADDRESS;
inline constexpr const char* Licence = "GNU GPL 3.0+";
}  // namespace Identity
