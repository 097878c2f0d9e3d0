#include "platform/system/wsaerror.h"

#include <QCoreApplication>

namespace {

bool Says(const QString& message, const char* text) {
  return message == QLatin1String(text) ||
         message == QCoreApplication::translate("QNativeSocketEngine", text);
}

}  // namespace

int WinSockError(QAbstractSocket::SocketError error, const QString& message) {
  using E = QAbstractSocket::SocketError;
  switch (error) {
    case E::ConnectionRefusedError: return WSA::ConnectionRefused;
    case E::RemoteHostClosedError: return WSA::ConnectionReset;
    case E::HostNotFoundError: return WSA::HostNotFound;
    case E::SocketAccessError: return WSA::Access;
    case E::SocketResourceError: return WSA::NoBuffers;
    case E::SocketTimeoutError: return WSA::TimedOut;
    case E::AddressInUseError: return WSA::AddressInUse;
    case E::SocketAddressNotAvailableError: return WSA::AddressNotAvailable;
    case E::UnsupportedSocketOperationError: return WSA::NotSupported;
    case E::NetworkError:
      if (Says(message, "Host unreachable")) return WSA::HostUnreachable;
      if (Says(message, "Network unreachable")) return WSA::NetworkUnreachable;
      if (Says(message, "Connection timed out")) return WSA::TimedOut;
      if (Says(message, "Connection refused")) return WSA::ConnectionRefused;
      if (Says(message, "Address already in use")) return WSA::AddressInUse;
      return WSA::NetworkDown;
    default: return WSA::InvalidArgument;
  }
}
