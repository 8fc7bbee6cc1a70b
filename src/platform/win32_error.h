#pragma once
// The Win32 error codes the services answer, named once for both builds: the POSIX stand-ins
// and the emulated registry give the codes the Windows calls would, and the layers above
// compare against the same names.
namespace win32_error {
inline constexpr long kSuccess = 0;
inline constexpr long kFileNotFound = 2;
inline constexpr long kPathNotFound = 3;
inline constexpr long kAccessDenied = 5;
inline constexpr long kInvalidHandle = 6;
inline constexpr long kNotEnoughMemory = 8;
inline constexpr long kInvalidData = 13;
inline constexpr long kSharingViolation = 32;
inline constexpr long kNotSupported = 50;
inline constexpr long kInvalidParameter = 87;
inline constexpr long kBufferOverflow = 111;
inline constexpr long kDiskFull = 112;
inline constexpr long kInsufficientBuffer = 122;
inline constexpr long kBadPathname = 161;
inline constexpr long kMoreData = 234;
inline constexpr long kNoMoreItems = 259;
inline constexpr long kMessageNotFound = 317;  // FormatMessage has no text for the code
inline constexpr long kNoAccess = 998;         // a buffer to read from is missing
inline constexpr long kBadDbFile = 1010;
inline constexpr long kRegistryCorrupt = 1015;
inline constexpr long kKeyDeleted = 1018;
inline constexpr long kNoneMapped = 1332;

// HRESULT_FROM_WIN32: the code in the low word, facility 7, the failure bit set.
inline constexpr long HResultOf(long code) {
  return code <= 0 ? code
                   : static_cast<long>(0x80070000u | (static_cast<unsigned>(code) & 0xFFFFu));
}
}  // namespace win32_error
