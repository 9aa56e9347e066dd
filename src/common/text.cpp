#include "common/text.h"

namespace urlcheck {

Text TextFromBytes(std::string_view bytes) {
  return Text(bytes.substr(0, bytes.find('\0')));
}

}  // namespace urlcheck
