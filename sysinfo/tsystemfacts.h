#pragma once

#include <QString>

#include <cstdint>
#include <vector>

// One drive of the system report: a drive letter on Windows, a mount point here.
struct TDriveFacts {
    QString Name;       // "C" or "/home"
    int DriveType = 0;  // 2 removable, 3 fixed, 4 remote, 5 optical, 6 RAM; 0 and 1 are not listed
    bool HasSizes = false;  // whether the free-space query answered
    std::uint64_t TotalBytes = 0;
    std::uint64_t FreeBytes = 0;  // free for everyone, not only the caller
};

// The facts the system report is made of. Platform ids: 0 Win32s, 1 Windows 9x, 2 NT, 3 Linux.
struct TSystemFacts {
    static constexpr std::uint32_t PlatformLinux = 3;

    std::uint32_t PlatformId = 0;
    std::uint32_t MajorVersion = 0;
    std::uint32_t MinorVersion = 0;
    std::uint32_t BuildNumber = 0;  // whole field; the report shows its low 16 bits
    QString ServicePack;            // at most 127 characters
    QString WindowsDirectory;
    QString SystemDirectory;
    QString TempPath;  // as the system gives it, with its trailing separator
    int MouseButtons = 0;
    int ScreenWidth = 0;   // pixels
    int ScreenHeight = 0;  // pixels
    int Hour = 0;          // local time
    int Minute = 0;
    std::uint64_t TotalPhysicalMemory = 0;  // bytes
    QString UserName;
    QString ComputerName;
    std::uint64_t UptimeMs = 0;  // since the system started; 64-bit, so it never wraps
    std::vector<TDriveFacts> Drives;
};

// Whether the system offers the extended free-space query the drive lines need for sizes.
bool HasFreeSpaceQuery(const TSystemFacts& facts);

// The whole report text, line feeds and the closing carriage return included.
QString SystemInfoReport(const TSystemFacts& facts);
