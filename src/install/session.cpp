#include "session.h"

namespace install {

Session& TheSession() {
  static Session session;
  return session;
}

}  // namespace install
