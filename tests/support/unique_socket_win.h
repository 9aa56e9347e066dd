#pragma once
// An owner for a Winsock socket, in the style of the handle owners in
// common/scoped_win.h. Test support only: the tool itself opens no socket.

#include <winsock2.h>

#include "common/scoped_win.h"

namespace urlcheck::test {

struct SocketTraits {
  using Value = SOCKET;
  static Value Invalid() { return INVALID_SOCKET; }
  static void Close(Value value) { closesocket(value); }
};
using UniqueSocket = UniqueHandle<SocketTraits>;

}  // namespace urlcheck::test
