#pragma once
#include <QAbstractSocket>
#include <QString>

// The numbers of the Windows Sockets errors a socket can end with. They are
// what users quote and look up, so a socket failure is reported by them on
// every system.
namespace WSA {
inline constexpr int NoBuffers = 10055;          // WSAENOBUFS
inline constexpr int Access = 10013;             // WSAEACCES
inline constexpr int InvalidArgument = 10022;    // WSAEINVAL
inline constexpr int NotSupported = 10045;       // WSAEOPNOTSUPP
inline constexpr int AddressInUse = 10048;       // WSAEADDRINUSE
inline constexpr int AddressNotAvailable = 10049;  // WSAEADDRNOTAVAIL
inline constexpr int NetworkDown = 10050;        // WSAENETDOWN
inline constexpr int NetworkUnreachable = 10051;  // WSAENETUNREACH
inline constexpr int ConnectionReset = 10054;    // WSAECONNRESET
inline constexpr int TimedOut = 10060;           // WSAETIMEDOUT
inline constexpr int ConnectionRefused = 10061;  // WSAECONNREFUSED
inline constexpr int HostUnreachable = 10065;    // WSAEHOSTUNREACH
inline constexpr int HostNotFound = 11001;       // WSAHOST_NOT_FOUND
}  // namespace WSA

// The Windows Sockets number of a Qt socket error. Qt folds several system
// errors into NetworkError and tells them apart only by its message, so the
// message (as the socket gives it, translated or not) is needed too. The
// socket layer cannot tell a reset from an orderly close by the peer; both
// are a connection the peer ended, reported as a reset.
int WinSockError(QAbstractSocket::SocketError error, const QString& message);
