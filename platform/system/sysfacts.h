#pragma once
#include <QByteArrayView>
#include <QString>

// What the program tells about the machine in its error reports.
struct TSystemFacts {
  bool Known = false;        // false when the kernel could not be asked
  QString KernelName;        // uname sysname, "Linux"
  QString KernelRelease;     // uname release, "6.1.0-18-amd64"
  QString Distribution;      // os-release PRETTY_NAME, may be empty
};

// The numbers at the front of a kernel release: "6.1.0-18-amd64" gives
// 6, 1 and 0; missing numbers are 0.
struct TKernelVersion {
  int Major = 0;
  int Minor = 0;
  int Patch = 0;
};
TKernelVersion ParseKernelRelease(const QString& release);

// PRETTY_NAME of an os-release text with its shell quoting undone; empty when absent.
QString OsReleasePrettyName(QByteArrayView osRelease);

// uname and the first os-release file found (/etc, then /usr/lib).
TSystemFacts ReadSystemFacts();
