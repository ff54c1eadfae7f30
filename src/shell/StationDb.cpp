#include "StationDb.h"

DbSession& Db() {
  static DbSession session;
  return session;
}
